#include "editor_win32/win32_popup_menu.h"

#include <cstdio>

#include "editor_win32/win32_editor_procedures.h"

namespace {

// Room for a menu label; a longer one is cut, as no menu could show it whole.
constexpr int kLabelBytes = 512;

// The item's label after the menu's numbering style: "1: ", "01: " or "001: " before the text.
void NumberedLabel(int numbering, int k, const char* text, char (&label)[kLabelBytes]) {
    static const char* const kFormats[] = {nullptr, "%1d: %s", "%02d: %s", "%03d: %s"};
    if (numbering < 1 || numbering > 3) {
        std::snprintf(label, kLabelBytes, "%s", text);
    } else {
        std::snprintf(label, kLabelBytes, kFormats[numbering], k, text);
    }
}

UINT CommandFlags(int flags) {
    UINT native = MF_STRING;
    if (flags & ItemGrayed) native |= MF_GRAYED;
    if (flags & ItemDisabled) native |= MF_DISABLED;
    if (flags & ItemChecked) native |= MF_CHECKED;
    return native;
}

PopupMenu* FindCommand(PopupMenu& menu, int id, int* nextId) {
    const int base = *nextId;
    const int count = menu.items.Count();
    *nextId += count;
    if (id >= base && id < base + count) {
        menu.chosenItem = id - base;
        return &menu;
    }
    for (int k = 0; k < count; ++k) {
        PopupMenuItem* item = menu.items.Get(k);
        if (item->submenu == nullptr) continue;
        if (PopupMenu* found = FindCommand(*item->submenu, id, nextId)) return found;
    }
    return nullptr;
}

}  // namespace

HMENU BuildNativeMenu(const PopupMenu& menu, int* nextId) {
    HMENU native = ::CreatePopupMenu();
    if (native == nullptr) return nullptr;
    const int base = *nextId;
    const int count = menu.items.Count();
    *nextId += count;
    for (int k = 1; k <= count; ++k) {
        const PopupMenuItem& item = *menu.items.Get(k - 1);
        if (item.flags & ItemSeparator) {
            AppendMenuA(native, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        char label[kLabelBytes];
        NumberedLabel(menu.numbering, k, item.text.Get(), label);
        if (item.submenu != nullptr) {
            HMENU sub = BuildNativeMenu(*item.submenu, nextId);
            if (sub != nullptr) {
                AppendMenuA(native, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), label);
            }
            continue;
        }
        AppendMenuA(native, CommandFlags(item.flags), static_cast<UINT_PTR>(base + k - 1), label);
    }
    return native;
}

PopupMenu* ChooseMenuItem(PopupMenu& menu, int id) {
    int nextId = 0;
    return FindCommand(menu, id, &nextId);
}

PopupMenu* Win32Editor::CreatePopupMenu(PopupMenu& menu, const Rect& r) {
    // No control keeps the mouse after a menu, and a gesture's edit ends.
    CancelGesture();
    if (window == nullptr) return nullptr;
    int nextId = 0;
    HMENU native = BuildNativeMenu(menu, &nextId);
    if (native == nullptr) return nullptr;

    HWND owner = AsWindow(window);
    const Rect shown = Scale().PlaceRect(r);
    POINT at{shown.left, shown.bottom};
    ClientToScreen(owner, &at);
    PopupMenu* chosen = nullptr;
    if (TrackPopupMenu(native, TPM_LEFTBUTTON, at.x, at.y, 0, owner, nullptr)) {
        MSG command;
        if (PeekMessageA(&command, owner, WM_COMMAND, WM_COMMAND, PM_REMOVE) &&
            HIWORD(command.wParam) == 0) {
            chosen = ChooseMenuItem(menu, LOWORD(command.wParam));
        }
    }
    DestroyMenu(native);
    // The menu's loop ran the host's messages: the editor may have been closed meanwhile, or
    // deleted with its plug-in. Only a window still naming this editor says it is alive; else
    // nobody may act on the choice, the caller being part of what went.
    if (!IsWindow(owner) ||
        GetWindowLongPtrA(owner, GWLP_USERDATA) != reinterpret_cast<LONG_PTR>(this)) {
        return nullptr;
    }
    const RECT whole{0, 0, PixelWidth(), PixelHeight()};
    InvalidateRect(owner, &whole, FALSE);
    return chosen;
}
