// The records of the editor's popup menu: a numbered list of items, each a text, a separator or
// a submenu. Built and read on the editor's window thread; each menu owns its items.
#pragma once

#include <memory>
#include <string>
#include <vector>

struct PopupMenu;

enum PopupItemFlags : int {
    ItemGrayed = 1,
    ItemDisabled = 2,
    ItemChecked = 4,
    ItemSeparator = 8,
};

struct PopupMenuItem {
    std::string text;
    std::unique_ptr<PopupMenu> submenu;
    int flags = 0;
};

struct PopupMenu {
    int numbering = 0;    // 0 none; 1 "%1d: ", 2 "%02d: ", 3 "%03d: " before each item's text
    int chosenItem = -1;  // index of the item chosen, -1 until a choice
    std::vector<PopupMenuItem> items;
};
