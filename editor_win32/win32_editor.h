// Win32Editor: the editor inside a Windows host's window. For now it opens no window, so the
// plug-in reports no editor to the host; its controls, images and the footswitch latch exist
// all the same. Window thread only.
#pragma once

#include "editor/editor.h"

class Win32Editor : public Editor {
public:
    explicit Win32Editor(PluginBase* plug);
    ~Win32Editor() override;

    void PlatformHook() override;
    bool PresentRect(const Rect& r) override;
    void OpenEntryBox(Control* control, const TextStyle& style, const Rect& r, const char* text,
                      PluginParam* param) override;
    WindowHandle CreateEditorWindow(WindowHandle parent) override;
    void DestroyEditorWindow() override;
    WindowHandle EditorWindowHandle() override;
};
