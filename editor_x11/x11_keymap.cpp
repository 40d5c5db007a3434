#include "editor_x11/x11_keymap.h"

#include <algorithm>
#include <new>

#include "editor_x11/x11_window.h"

namespace {

constexpr uint32_t kBackSpace = 0xFF08;
constexpr uint32_t kReturn = 0xFF0D;
constexpr uint32_t kEscape = 0xFF1B;
constexpr uint32_t kUp = 0xFF52;
constexpr uint32_t kDown = 0xFF54;
constexpr uint32_t kKeypadFirst = 0xFF80;  // KP_Space
constexpr uint32_t kKeypadEnter = 0xFF8D;
constexpr uint32_t kKeypadLast = 0xFFBD;  // KP_Equal
constexpr uint32_t kKeypadZero = 0xFFB0;

bool IsKeypad(uint32_t keysym) { return keysym >= kKeypadFirst && keysym <= kKeypadLast; }

// The character a keypad key types, or 0.
char KeypadCharacter(uint32_t keysym) {
    if (keysym >= kKeypadZero && keysym <= kKeypadZero + 9) return char('0' + keysym - kKeypadZero);
    switch (keysym) {
        case 0xFF80: return ' ';
        case 0xFFAA: return '*';
        case 0xFFAB: return '+';
        case 0xFFAC: return ',';
        case 0xFFAD: return '-';
        case 0xFFAE: return '.';
        case 0xFFAF: return '/';
        case 0xFFBD: return '=';
        default: return '\0';
    }
}

}  // namespace

EntryKey EntryKeyFromKeysym(uint32_t keysym, uint16_t state) {
    switch (keysym) {
        case kReturn:
        case kKeypadEnter: return {13, '\0'};
        case kEscape: return {27, '\0'};
        case kBackSpace: return {8, '\0'};
        // For the in-panel menu; the value box has no use for them.
        case kUp: return {38, '\0'};
        case kDown: return {40, '\0'};
        default: break;
    }
    if ((state & (kControlMask | kAltMask)) != 0) return {};
    // Latin-1 keysyms below 0x7F are their ASCII codes.
    if (keysym >= 0x20 && keysym <= 0x7E) return {0, static_cast<char>(keysym)};
    return {0, KeypadCharacter(keysym)};
}

void X11Keymap::Load(xcb_connection_t* connection) {
    if (keysyms_ != nullptr) return;
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    XcbPtr<xcb_get_keyboard_mapping_reply_t> reply(xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, count), nullptr));
    if (reply == nullptr) return;
    const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(reply.get());
    const int length = xcb_get_keyboard_mapping_keysyms_length(reply.get());
    if (length <= 0) return;
    keysyms_.reset(new (std::nothrow) uint32_t[static_cast<size_t>(length)]);
    if (keysyms_ == nullptr) return;
    std::copy(symbols, symbols + length, keysyms_.get());
    count_ = static_cast<size_t>(length);
    firstKeycode_ = setup->min_keycode;
    perKeycode_ = reply->keysyms_per_keycode;
}

uint32_t X11Keymap::Symbol(uint8_t keycode, int column) const {
    if (keycode < firstKeycode_ || column >= perKeycode_) return 0;
    const size_t at = static_cast<size_t>(keycode - firstKeycode_) * perKeycode_ + column;
    return at < count_ ? keysyms_[at] : 0;
}

uint32_t X11Keymap::Keysym(uint8_t keycode, uint16_t state) const {
    const uint32_t lower = Symbol(keycode, 0);
    uint32_t upper = Symbol(keycode, 1);
    if (upper == 0) upper = lower >= 'a' && lower <= 'z' ? lower - 'a' + 'A' : lower;
    const bool shift = (state & kShiftMask) != 0;
    if ((state & kNumLockMask) != 0 && IsKeypad(upper)) return shift ? lower : upper;
    if (shift) return upper;
    if ((state & kLockMask) != 0 && lower >= 'a' && lower <= 'z') return upper;
    return lower;
}
