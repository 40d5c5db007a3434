// A PopupMenu as a Windows popup menu, and the way back from a chosen command id to the menu
// that holds it. Ids are handed out from one counter: a menu takes one id per item, then its
// submenus take theirs in item order. Window thread only.
#pragma once

#include <windows.h>

#include "editor/popup_menu.h"

// Builds the menu with its submenus; ids start at *nextId, which ends past the last one given.
// The caller destroys the result with DestroyMenu. Null when Windows cannot make a menu.
HMENU BuildNativeMenu(const PopupMenu& menu, int* nextId);

// The menu (menu itself or one of its submenus) whose item has the command id, with its
// chosenItem set; null when no menu has the id.
PopupMenu* ChooseMenuItem(PopupMenu& menu, int id);
