// Opening and closing the editor window many times, two editors at once, reopening in place, and
// a host that destroys its own window first: no window, GDI object or window class is left over.
#include <cstdio>

#include "tests/win32/editor_window_fixture.h"

using namespace vst2;

namespace {

// Whether the DLL has its editor window class registered now.
bool ClassRegistered() {
    HMODULE module = nullptr;
    GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCSTR>(OrvModule().Entry()), &module);
    WNDCLASSA windowClass;
    return GetClassInfoA(module, "PluginEditorWndClass", &windowClass) != FALSE;
}

int EditorWindowsIn(HWND parent) {
    int count = 0;
    for (HWND w = FindWindowExA(parent, nullptr, "PluginEditorWndClass", nullptr); w != nullptr;
         w = FindWindowExA(parent, w, "PluginEditorWndClass", nullptr)) {
        ++count;
    }
    return count;
}

}  // namespace

using WindowLifecycleTest = EditorWindowTest;

TEST_F(WindowLifecycleTest, AHundredOpenCloseCyclesLeaveNoObjectsBehind) {
    // Each cycle paints and opens an entry box, and half of them close with the box still open.
    auto cycle = [&](int i) {
        ASSERT_NE(OpenEditor(fx), nullptr);
        Tick();
        Press(kDriveKnob, WM_RBUTTONDOWN, MK_RBUTTON);
        Release(kDriveKnob, WM_RBUTTONUP);
        ASSERT_NE(GetDlgItem(editorWindow, 99), nullptr);
        if (i % 2 == 0) {
            Press(kBackground);
            Release(kBackground);
        }
        EXPECT_EQ(fx.Dispatch(effEditClose), 1);
        PumpPending();
    };
    cycle(0);  // the first EDIT control and font load what the system keeps for later ones
    const int gdiBefore = CountGdiObjects();
    const int windowsBefore = CountThreadWindows();
    for (int i = 0; i < 100; ++i) cycle(i);
    const int gdiAfter = CountGdiObjects();
    const int windowsAfter = CountThreadWindows();
    std::printf("[ objects  ] GDI objects %d before, %d after; windows %d before, %d after\n",
                gdiBefore, gdiAfter, windowsBefore, windowsAfter);
    EXPECT_EQ(gdiAfter, gdiBefore);
    EXPECT_EQ(windowsAfter, windowsBefore);
    EXPECT_FALSE(ClassRegistered());
}

TEST_F(WindowLifecycleTest, TwoEditorsShareTheClassUntilTheLastCloses) {
    host::HostedEffect second = CreateOpened();
    ASSERT_NE(OpenEditor(fx), nullptr);
    ASSERT_EQ(second.Dispatch(effEditOpen, 0, 0, hostWindow->Handle()), 1);
    EXPECT_EQ(EditorWindowsIn(hostWindow->Handle()), 2);
    PumpMessages(60);
    EXPECT_EQ(fx.Dispatch(effEditClose), 1);
    EXPECT_TRUE(ClassRegistered());
    PumpMessages(60);  // the other window's timer and paints go on
    EXPECT_EQ(second.Dispatch(effEditClose), 1);
    EXPECT_FALSE(ClassRegistered());
    EXPECT_EQ(EditorWindowsIn(hostWindow->Handle()), 0);
}

TEST_F(WindowLifecycleTest, OpeningAgainWhileOpenReopensInThePlace) {
    ASSERT_NE(OpenEditor(fx), nullptr);
    SetWindowPos(editorWindow, nullptr, 12, 34, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_NE(OpenEditor(fx), nullptr);
    EXPECT_EQ(EditorWindowsIn(hostWindow->Handle()), 1);
    RECT r;
    GetWindowRect(editorWindow, &r);
    MapWindowPoints(nullptr, hostWindow->Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 12);
    EXPECT_EQ(r.top, 34);
    EXPECT_EQ(r.right - r.left, 300);
    EXPECT_EQ(r.bottom - r.top, 350);
    EXPECT_EQ(fx.Dispatch(effEditClose), 1);
    EXPECT_FALSE(ClassRegistered());
}

TEST_F(WindowLifecycleTest, AHostDestroyingItsWindowFirstLeavesAClosableEditor) {
    auto ownWindow = std::make_unique<HostWindow>();
    hostWindow = ownWindow.get();
    ASSERT_NE(OpenEditor(fx), nullptr);
    Press(kDriveKnob, WM_RBUTTONDOWN, MK_RBUTTON);
    Release(kDriveKnob, WM_RBUTTONUP);
    ASSERT_NE(GetDlgItem(editorWindow, 99), nullptr);
    ownWindow->Destroy();
    EXPECT_FALSE(IsWindow(editorWindow));
    EXPECT_TRUE(ClassRegistered()) << "until the host closes the editor";
    EXPECT_EQ(fx.Dispatch(effEditClose), 1);
    EXPECT_FALSE(ClassRegistered());

    hostWindow = &HostWindow::Shared();
    ASSERT_NE(OpenEditor(fx), nullptr);
    PumpMessages(60);
    reference.editor->Tick();
    EXPECT_EQ(DifferencesFromReference(*Capture()), 0);
}
