// X11Keymap: the server's keyboard mapping, for turning the key presses the entry box receives
// into keysyms, and what a keysym means to the box. Loaded when first needed and again after the
// server announces a new mapping. Threads: the editor's (the host's user-interface thread).
#pragma once

#include <xcb/xcb.h>

#include <cstddef>
#include <cstdint>
#include <memory>

// A key press as the entry box takes it: a Windows virtual-key number for Enter (13), Escape
// (27) and Backspace (8), or a printable character; neither for any other key.
struct EntryKey {
    int virtualKey = 0;
    char character = '\0';
};

// Modifier bits of an X event's state.
constexpr uint16_t kShiftMask = XCB_MOD_MASK_SHIFT;
constexpr uint16_t kLockMask = XCB_MOD_MASK_LOCK;
constexpr uint16_t kControlMask = XCB_MOD_MASK_CONTROL;
constexpr uint16_t kAltMask = XCB_MOD_MASK_1;      // where every common keymap puts Alt
constexpr uint16_t kNumLockMask = XCB_MOD_MASK_2;  // and Num Lock

// What the keysym, pressed with those modifiers, types or does in the box. With Ctrl or Alt held
// nothing is typed, as a Windows edit box gets no character then.
EntryKey EntryKeyFromKeysym(uint32_t keysym, uint16_t state);

class X11Keymap {
public:
    // Reads the mapping once; later calls do nothing until Invalidate.
    void Load(xcb_connection_t* connection);
    void Invalidate() {
        keysyms_.reset();
        count_ = 0;
    }

    // The keysym of the key's first group with the modifiers applied: Shift chooses the second
    // symbol, Caps Lock uppercases a letter, Num Lock chooses the keypad's digits. 0 when none.
    uint32_t Keysym(uint8_t keycode, uint16_t state) const;

private:
    uint32_t Symbol(uint8_t keycode, int column) const;

    std::unique_ptr<uint32_t[]> keysyms_;  // none while memory is short: no key then types
    size_t count_ = 0;
    uint8_t firstKeycode_ = 0;
    int perKeycode_ = 0;
};
