// The window procedures of Win32Editor: the editor window's and its entry box's. They reach the
// editor through the window's user data, and only while the editor still names that window.
#pragma once

#include <windows.h>

#include "editor_win32/win32_editor.h"

struct Win32EditorProcedures {
    static LRESULT CALLBACK Window(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK EntryBox(HWND box, UINT message, WPARAM wParam, LPARAM lParam);

    // The editor whose window this is, or null (during creation, or for a closed editor).
    static Win32Editor* OwnerOfWindow(HWND window);
    static LRESULT HandleMessage(Win32Editor& editor, HWND window, UINT message, WPARAM wParam,
                                 LPARAM lParam);
    // A keyboard message: a key a control takes, else handed on to the host's top-level window.
    static LRESULT HandOnKey(Win32Editor& editor, HWND window, UINT message, WPARAM wParam,
                             LPARAM lParam);
    // The entry box's colours, on the DC the box paints with; 0 when nothing is being edited.
    static LRESULT EntryColours(Win32Editor& editor, HDC dc);
};

inline HWND AsWindow(WindowHandle handle) { return static_cast<HWND>(handle); }
