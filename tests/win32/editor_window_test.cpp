// The editor window in a host's window, driven by real messages: what opening shows, gestures
// reaching the knob and the host, the wheel, double-clicks, the footswitch, keys, closing; the
// pixels on screen against the offscreen editor's frame buffer for the same gestures.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "tests/editor/edit_calls.h"
#include "tests/win32/editor_window_fixture.h"

using namespace vst2;

namespace {

// Pixel colour the tests paint over the window to see what the editor repaints.
constexpr COLORREF kMagenta = RGB(255, 0, 255);

void PaintOver(HWND window) {
    HDC dc = GetDC(window);
    HBRUSH brush = CreateSolidBrush(kMagenta);
    const RECT all{0, 0, kPanelWidth, kPanelHeight};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(window, dc);
}

bool IsMagenta(uint32_t pixel) { return (pixel & 0xFFFFFFu) == 0xFF00FFu; }

double Microseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1e6 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

bool PassesThrough(const host::HostedEffect& fx) {
    std::vector<float> left(256), right(256), out0(256), out1(256);
    for (int i = 0; i < 256; ++i) {
        left[i] = 0.5f * static_cast<float>(std::sin(0.05 * i));
        right[i] = 0.25f * static_cast<float>(std::cos(0.031 * i));
    }
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {out0.data(), out1.data()};
    fx.ProcessReplacing(inputs, outputs, 256);
    return out0 == left && out1 == right;
}

}  // namespace

TEST_F(EditorWindowTest, OpensAVisibleChildOfTheHostThatShowsThePanel) {
    EXPECT_EQ(fx.Effect()->flags, 0x1019);
    ERect* rect = nullptr;
    ASSERT_EQ(fx.Dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, 300);
    EXPECT_EQ(rect->bottom - rect->top, 350);

    ASSERT_NE(OpenEditor(fx), nullptr);
    char text[64] = "";
    GetClassNameA(editorWindow, text, sizeof(text));
    EXPECT_STREQ(text, "PluginEditorWndClass");
    GetWindowTextA(editorWindow, text, sizeof(text));
    EXPECT_STREQ(text, "PluginEditor");
    EXPECT_TRUE(IsWindowVisible(editorWindow));
    EXPECT_EQ(GetParent(editorWindow), hostWindow->Handle());
    EXPECT_NE(GetWindowLongA(editorWindow, GWL_STYLE) & WS_CHILD, 0);
    EXPECT_NE(GetClassLongPtrA(editorWindow, GCL_STYLE) & CS_DBLCLKS, 0u) << "double-clicks";
    RECT client;
    GetClientRect(editorWindow, &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 350);

    PumpMessages(100);
    reference.editor->Tick();
    const auto shown = Capture();
    SavePicture(*shown, "editor-window.png");
    EXPECT_EQ(DifferencesFromReference(*shown), 0);
}

TEST_F(EditorWindowTest, TheFirstTickAfterOpeningPaintsTheWholePanel) {
    ASSERT_NE(OpenEditor(fx), nullptr);
    fx.Dispatch(effEditClose);
    // Opened again: nothing changed, yet every control is drawn by the timer alone.
    ASSERT_EQ(fx.Dispatch(effEditOpen, 0, 0, hostWindow->Handle()), 1);
    editorWindow = FindWindowExA(hostWindow->Handle(), nullptr, "PluginEditorWndClass", nullptr);
    ValidateRect(editorWindow, nullptr);
    PaintOver(editorWindow);
    Tick();
    reference.editor->Tick();
    EXPECT_EQ(DifferencesFromReference(*Capture()), 0);
}

TEST_F(EditorWindowTest, ADragUpOnDriveIsOneEditAndKeepsTheKnobOutsideTheWindow) {
    ASSERT_NE(OpenEditor(fx), nullptr);
    PumpMessages(60);
    host_.ClearCalls();

    // Past the window's top edge the window keeps the mouse; the release out there ends it.
    Drag(kDriveKnob, 0, -131);
    EXPECT_NEAR(Parameter(ORV_Q12::kDrive), 0.5 + 131.0 / 285, 1e-6) << "1/285 per pixel";
    std::vector<int32> edits = EditCallsSinceClear();
    ASSERT_GE(edits.size(), 3u);
    EXPECT_EQ(edits.front(), audioMasterBeginEdit);
    EXPECT_EQ(edits.back(), audioMasterEndEdit);
    EXPECT_EQ(std::count(edits.begin(), edits.end(), audioMasterAutomate), 131);
    EXPECT_EQ(GetCapture(), nullptr);

    host_.ClearCalls();
    Drag(kDriveKnob, 0, 57);
    EXPECT_NEAR(Parameter(ORV_Q12::kDrive), 0.5 + 74.0 / 285, 1e-6);
    EXPECT_EQ(EditCallsSinceClear().back(), audioMasterEndEdit);

    for (int dy : {-131, 57}) {
        const int step = dy < 0 ? -1 : 1;
        reference.editor->Press(kDriveKnob.x, kDriveKnob.y);
        for (int s = 1; s <= dy * step; ++s) {
            reference.editor->Move(kDriveKnob.x, kDriveKnob.y + s * step);
        }
        reference.editor->Release(kDriveKnob.x, kDriveKnob.y + dy);
    }
    Settle();
    EXPECT_EQ(DifferencesFromReference(*Capture()), 0);
}

TEST_F(EditorWindowTest, ATickRepaintsOnlyTheChangedKnob) {
    ASSERT_NE(OpenEditor(fx), nullptr);
    PumpMessages(60);

    // Timed on messages sent straight to the window, so the real timer cannot step in.
    std::vector<double> full, knob;
    for (int i = 0; i < 21; ++i) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        InvalidateRect(editorWindow, nullptr, FALSE);
        UpdateWindow(editorWindow);
        QueryPerformanceCounter(&end);
        full.push_back(Microseconds(start, end));

        PaintOver(editorWindow);
        POINT screen{kDriveKnob.x, kDriveKnob.y};
        ClientToScreen(editorWindow, &screen);
        SendMessageA(editorWindow, WM_MOUSEWHEEL, MAKEWPARAM(0, i % 2 ? -120 : 120),
                     MAKELPARAM(screen.x, screen.y));
        QueryPerformanceCounter(&start);
        Tick();
        QueryPerformanceCounter(&end);
        knob.push_back(Microseconds(start, end));
    }
    std::printf("[ timing   ] full paint %.0f us, knob repaint %.0f us (medians of 21)\n",
                Median(full), Median(knob));
    RecordProperty("full_paint_us", static_cast<int>(Median(full)));
    RecordProperty("knob_repaint_us", static_cast<int>(Median(knob)));

    reference.editor->Wheel(kDriveKnob.x, kDriveKnob.y, 1);
    reference.editor->Tick();
    const auto shown = Capture();
    SavePicture(*shown, "editor-window-knob-repaint.png");
    EXPECT_EQ(DifferingPixels(*shown, *reference.editor->FrameBuffer(), kDriveRect.left,
                              kDriveRect.top, kDriveRect.right, kDriveRect.bottom),
              0);
    int outsideRepainted = 0;
    for (int y = 0; y < kPanelHeight; ++y) {
        for (int x = 0; x < kPanelWidth; ++x) {
            const bool inKnob = x >= kDriveRect.left && x < kDriveRect.right &&
                                y >= kDriveRect.top && y < kDriveRect.bottom;
            if (!inKnob) outsideRepainted += !IsMagenta(shown->Bits()[y * shown->RowSpan() + x]);
        }
    }
    EXPECT_EQ(outsideRepainted, 0);
}

TEST_F(EditorWindowTest, WheelNotchesAndADoubleClickReachTheKnob) {
    ASSERT_NE(OpenEditor(fx), nullptr);
    host_.ClearCalls();
    Wheel(kDriveKnob, 120);
    EXPECT_NEAR(Parameter(ORV_Q12::kDrive), 0.51, 1e-6);
    // Parts of a notch (a precision touchpad's) add up; one that completes none sends nothing.
    for (int i = 0; i < 8; ++i) Wheel(kDriveKnob, 30);
    EXPECT_NEAR(Parameter(ORV_Q12::kDrive), 0.53, 1e-6);
    EXPECT_EQ(host_.CountOf(audioMasterAutomate), 3);
    Wheel(kDriveKnob, -60);
    EXPECT_EQ(host_.CountOf(audioMasterAutomate), 3);
    Wheel(kDriveKnob, -60);
    Wheel(kDriveKnob, -360);
    EXPECT_NEAR(Parameter(ORV_Q12::kDrive), 0.49, 1e-6);
    // Over the footswitch, the light or the background the wheel changes and redraws nothing.
    host_.ClearCalls();
    Settle();
    PaintOver(editorWindow);
    for (Point at : {kFootswitch, kStatusLight, kBackground}) Wheel(at, 360);
    Tick();
    EXPECT_TRUE(host_.Calls().empty());
    const auto shown = Capture();
    for (Point at : {kFootswitch, kStatusLight, kBackground}) {
        EXPECT_TRUE(IsMagenta(shown->Bits()[at.y * shown->RowSpan() + at.x])) << at.x;
    }
    InvalidateRect(editorWindow, nullptr, FALSE);
    UpdateWindow(editorWindow);

    Press(kDriveKnob);
    Release(kDriveKnob);
    Press(kDriveKnob, WM_LBUTTONDBLCLK);
    Release(kDriveKnob);
    EXPECT_EQ(Parameter(ORV_Q12::kDrive), 0.5f) << "the double-click restores the default";

    reference.editor->Wheel(kDriveKnob.x, kDriveKnob.y, 3);
    reference.editor->Wheel(kDriveKnob.x, kDriveKnob.y, -4);
    reference.editor->Press(kDriveKnob.x, kDriveKnob.y);
    reference.editor->Release(kDriveKnob.x, kDriveKnob.y);
    reference.editor->DoubleClick(kDriveKnob.x, kDriveKnob.y);
    reference.editor->Release(kDriveKnob.x, kDriveKnob.y);
    Settle();
    EXPECT_EQ(DifferencesFromReference(*Capture()), 0);
}

TEST_F(EditorWindowTest, TheFootswitchFlipsBypassAndAnyButtonFlipsASwitch) {
    ASSERT_NE(OpenEditor(fx), nullptr);
    EXPECT_FALSE(PassesThrough(fx));
    Press(kFootswitch);
    EXPECT_EQ(Parameter(ORV_Q12::kBypass), 0.0f) << "nothing changes while held";
    Release(kFootswitch);
    EXPECT_EQ(Parameter(ORV_Q12::kBypass), 1.0f);
    EXPECT_TRUE(PassesThrough(fx));
    // A double-click is two clicks.
    Press(kFootswitch);
    Release(kFootswitch);
    Press(kFootswitch, WM_LBUTTONDBLCLK);
    Release(kFootswitch);
    EXPECT_TRUE(PassesThrough(fx));
    Press(kFootswitch);
    Release(kFootswitch);
    EXPECT_FALSE(PassesThrough(fx));

    // The middle button flips a switch, and its release ends the edit; a move with it alone
    // drags nothing.
    host_.ClearCalls();
    Press(kStereoSwitch, WM_MBUTTONDOWN, MK_MBUTTON);
    EXPECT_EQ(Parameter(ORV_Q12::kStereo), 1.0f);
    Post(WM_MOUSEMOVE, MK_MBUTTON, kDriveKnob.x, kDriveKnob.y);
    Release(kStereoSwitch, WM_MBUTTONUP);
    EXPECT_EQ(host_.CountOf(audioMasterEndEdit), 1);
    EXPECT_EQ(GetCapture(), nullptr) << "the next click elsewhere is the host's";
    EXPECT_EQ(Parameter(ORV_Q12::kStereo), 1.0f);
    EXPECT_EQ(Parameter(ORV_Q12::kDrive), 0.5f);

    for (int i = 0; i < 4; ++i) {
        reference.editor->Press(kFootswitch.x, kFootswitch.y);
        reference.editor->Release(kFootswitch.x, kFootswitch.y);
    }
    reference.editor->Press(kStereoSwitch.x, kStereoSwitch.y, MouseButton::Middle);
    reference.editor->Release(kStereoSwitch.x, kStereoSwitch.y, MouseButton::Middle);
    Settle();
    EXPECT_EQ(DifferencesFromReference(*Capture()), 0);
}

// Whatever the user and the host do mid-gesture, every edit the host heard begin ends once:
// double clicks with either button, a release whose press another window had (the last click of
// a double click that closed a file dialog over the panel), the capture taken by another window
// or cancelled, and the editor closed mid-drag. The pedal flips only for whole clicks.
TEST_F(EditorWindowTest, EveryGestureLeavesTheHostsEditsBalanced) {
    ASSERT_NE(OpenEditor(fx), nullptr);
    for (Point at : {kDriveKnob, kStereoSwitch, kFootswitch}) {
        Press(at);
        Release(at);
        Press(at, WM_LBUTTONDBLCLK);
        Release(at);
        Press(at, WM_RBUTTONDOWN, MK_RBUTTON);
        Release(at, WM_RBUTTONUP);
        Press(at, WM_RBUTTONDBLCLK, MK_RBUTTON);
        Release(at, WM_RBUTTONUP);
        Press(kBackground);  // closes a value box
        Release(kBackground);
    }
    EXPECT_EQ(Parameter(ORV_Q12::kStereo), 0.0f) << "four steps";
    EXPECT_EQ(Parameter(ORV_Q12::kBypass), 0.0f) << "four clicks";
    EXPECT_EQ(UnbalancedEdits(host_.Calls()), "");

    host_.ClearCalls();
    Release(kFootswitch);
    EXPECT_TRUE(host_.Calls().empty()) << "a release without its press";
    Press(kFootswitch);
    SetCapture(hostWindow->Handle());
    Release(kFootswitch);
    ReleaseCapture();
    Press(kFootswitch);
    SendMessageA(editorWindow, WM_CANCELMODE, 0, 0);
    Release(kFootswitch);
    EXPECT_EQ(EditsOf(host_.Calls(), ORV_Q12::kBypass), "BEBE") << "no click, no flip";
    EXPECT_FALSE(PassesThrough(fx));

    Press(kDriveKnob);
    Post(WM_MOUSEMOVE, MK_LBUTTON, kDriveKnob.x, kDriveKnob.y - 3);
    EXPECT_EQ(fx.Dispatch(effEditClose), 1);
    EXPECT_EQ(EditsOf(host_.Calls(), ORV_Q12::kDrive), "BAE");
    EXPECT_EQ(UnbalancedEdits(host_.Calls()), "");
}

// The host's shortcuts and its computer keyboard keep working over the panel: every keyboard
// message reaches its top-level window once, in order.
TEST_F(EditorWindowTest, KeysNoControlTakesReachTheHostsWindow) {
    ASSERT_NE(OpenEditor(fx), nullptr);
    using Key = HostWindow::KeyMessage;
    // Keys whose translation makes no characters of its own, so the list is exactly this.
    const Key sent[] = {{WM_KEYDOWN, VK_UP},    {WM_CHAR, 'a'},    {WM_KEYUP, VK_UP},
                        {WM_SYSKEYDOWN, VK_F6}, {WM_SYSCHAR, 'b'}, {WM_SYSKEYUP, VK_F6}};
    for (const Key& key : sent) {
        const LPARAM flags =
            key.message == WM_KEYUP || key.message == WM_SYSKEYUP ? 0xC0000001 : 0x00000001;
        PostMessageA(editorWindow, key.message, key.wParam, flags);
    }
    PumpPending();
    EXPECT_EQ(hostWindow->Keys(), std::vector<Key>(std::begin(sent), std::end(sent)));
}

TEST_F(EditorWindowTest, CloseMessageClosesTheEditorAndItOpensAgain) {
    ASSERT_NE(OpenEditor(fx), nullptr);
    SendMessageA(editorWindow, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(editorWindow));
    EXPECT_EQ(fx.Dispatch(effEditClose), 1);
    EXPECT_NE(OpenEditor(fx), nullptr);
}
