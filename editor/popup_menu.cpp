#include "editor/popup_menu.h"

#include "plugin/make_nothrow.h"

PopupMenuItem* PopupMenu::AddItem(const char* text, int flags) {
    auto item = MakeNothrow<PopupMenuItem>();
    if (item == nullptr || !item->text.Set(text) || !items.Append(item.get())) return nullptr;
    item->flags = flags;
    return item.release();
}

PopupMenu* PopupMenu::AddSubmenu(const char* text) {
    auto submenu = MakeNothrow<PopupMenu>();
    if (submenu == nullptr) return nullptr;
    PopupMenuItem* item = AddItem(text);
    if (item == nullptr) return nullptr;
    item->submenu = std::move(submenu);
    return item->submenu.get();
}
