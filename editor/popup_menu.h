// The records of the editor's popup menu: a numbered list of items, each a text, a separator or
// a submenu. Built and read on the editor's window thread; each menu owns its items. Building
// never throws: an item that memory is too short for is not added.
#pragma once

#include <memory>

#include "plugin/pointer_list.h"
#include "plugin/text_buffer.h"

struct PopupMenu;

enum PopupItemFlags : int {
    ItemGrayed = 1,
    ItemDisabled = 2,
    ItemChecked = 4,
    ItemSeparator = 8,
};

struct PopupMenuItem {
    TextBuffer text;
    std::unique_ptr<PopupMenu> submenu;
    int flags = 0;
};

struct PopupMenu {
    int numbering = 0;    // 0 none; 1 "%1d: ", 2 "%02d: ", 3 "%03d: " before each item's text
    int chosenItem = -1;  // index of the item chosen, -1 until a choice
    PointerList<PopupMenuItem> items;

    // Appends an item with a copy of the text; null, with the menu as it was, when memory is
    // short.
    PopupMenuItem* AddItem(const char* text, int flags = 0);
    // Appends an item that opens a new, empty submenu, and returns the submenu; null, with the
    // menu as it was, when memory is short.
    PopupMenu* AddSubmenu(const char* text);
};
