#include "editor_win32/win32_editor.h"

Win32Editor::Win32Editor(PluginBase* plug) : Editor(plug) {}

Win32Editor::~Win32Editor() = default;

void Win32Editor::PlatformHook() {}

bool Win32Editor::PresentRect(const Rect& /*r*/) { return true; }

void Win32Editor::OpenEntryBox(Control* /*control*/, const TextStyle& /*style*/, const Rect& /*r*/,
                               const char* /*text*/, PluginParam* /*param*/) {}

WindowHandle Win32Editor::CreateEditorWindow(WindowHandle /*parent*/) { return nullptr; }

void Win32Editor::DestroyEditorWindow() {}

WindowHandle Win32Editor::EditorWindowHandle() { return nullptr; }
