// Win32Editor: the editor inside a Windows host's window. CreateEditorWindow makes a child of the
// host's window, redrawn from its own 20 ms timer; the window procedure translates mouse, wheel
// and key messages into the editor's Handle* calls, typed values go through a native EDIT box,
// and the menus and dialogs are modal: each returns when the user has chosen or cancelled.
// Threads: everything runs on the host's user-interface thread that opened the window. Editors
// of several instances may run on several such threads: the process-wide count of open windows,
// which keeps the window class registered, has a lock of its own.
#pragma once

#include <cstdint>
#include <memory>

#include "editor/editor.h"

class Win32Editor : public Editor {
public:
    static constexpr const char* kWindowClass = "PluginEditorWndClass";
    static constexpr const char* kWindowTitle = "PluginEditor";
    static constexpr int kEntryBoxId = 99;

    explicit Win32Editor(PluginBase* plug);
    ~Win32Editor() override;

    void PlatformHook() override;
    bool PresentRect(const Rect& r) override;
    void Resize(int newWidth, int newHeight) override;
    int ShowMessage(const char* text, const char* caption, int type) override;
    PopupMenu* CreatePopupMenu(PopupMenu& menu, const Rect& r) override;
    void OpenEntryBox(Control* control, const TextStyle& style, const Rect& r, const char* text,
                      PluginParam* param) override;
    void HostFolder(TextBuffer& folder) override;
    void ModuleFolder(TextBuffer& folder) override;
    void DesktopFolder(TextBuffer& folder) override;
    void AppDataFolder(TextBuffer& folder) override;
    void ChooseFile(TextBuffer& file, int action, TextBuffer& folder, const char* extensions,
                    bool pickFolder) override;
    bool PickColor(Color& color, const char* prompt) override;
    bool OpenWebAddress(const char* address, const char* title, const char* confirmation,
                        const char* failure) override;
    WindowHandle CreateEditorWindow(WindowHandle parent) override;
    void DestroyEditorWindow() override;
    WindowHandle EditorWindowHandle() override { return window; }
    void HidePointer() override;
    void ShowPointer() override;

    bool CanOpenWindow() const override { return true; }
    void RedrawRect(const Rect& r) override;
    void OnScaleChanged() override;
    bool HasNativeMenus() const override { return true; }
    bool EntryBoxOpen() const override { return entryBox != nullptr; }
    void ReadEntryText(char* text, int capacity) override;
    void DestroyEntryBox() override;
    void TakeFocusAndMouse() override;

    // The top-level window holding the editor; while the editor is closed, the first top-level
    // window of this process with the class name last seen. Null when there is none.
    WindowHandle GetMainWindow();

private:
    // The window procedures, which translate messages into the operations above.
    friend struct Win32EditorProcedures;

    // The window went away without DestroyEditorWindow (its parent was destroyed, say): nothing
    // may use its handle or its entry box any more.
    void ForgetWindow();
    // The entry box was destroyed with its parent: its handle, font and state go.
    void ForgetEntryBox();
    // Hands out and returns this editor's use of the window class, registered while any editor
    // window of the process holds it.
    void AcquireWindowClass();
    void ReleaseWindowClass();
    // The whole notches a wheel delta completes, with what the deltas before it left over
    // (precision touchpads and free-spinning wheels send parts of a notch).
    int WholeWheelNotches(int delta);

    WindowHandle window = nullptr;
    WindowHandle entryBox = nullptr;
    intptr_t entryPrevProc = 0;  // the box's own window procedure, put back before it goes
    void* entryFont = nullptr;   // the box's GDI font, deleted after the box
    // 16 COLORREF values for the colour dialog, allocated zeroed by the first PickColor.
    std::unique_ptr<unsigned long[]> customColors;
    int32_t processId = 0;
    WindowHandle parentWindow = nullptr;
    WindowHandle mainWindow = nullptr;
    char mainWindowClass[128] = "";
    // Holds one count of the window class; outlives the window when something else destroyed it.
    bool holdsWindowClass = false;
    int wheelRemainder = 0;  // of this window's wheel deltas, below a notch either way
};
