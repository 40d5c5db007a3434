// Typing a value into the native entry box: where a right click opens it and what it shows, the
// characters it takes (typed or pasted), Enter committing on the next tick, every way it closes
// unapplied, and the panel painted around it while it has the keyboard.
#include <cstring>
#include <string>

#include "tests/win32/editor_window_fixture.h"

using namespace vst2;

class EntryBoxWindowTest : public EditorWindowTest {
protected:
    void SetUp() override {
        EditorWindowTest::SetUp();
        ASSERT_NE(OpenEditor(fx), nullptr);
        PumpMessages(60);
    }
    // A right click on the Drive knob; the box it opened, or null.
    HWND OpenOnDrive() {
        Press(kDriveKnob, WM_RBUTTONDOWN, MK_RBUTTON);
        Release(kDriveKnob, WM_RBUTTONUP);
        return Box();
    }
    HWND Box() const { return GetDlgItem(editorWindow, 99); }
    std::string Text(HWND box) const {
        char text[64] = "";
        GetWindowTextA(box, text, sizeof(text));
        return text;
    }
    void Type(HWND box, const char* characters) {
        for (const char* at = characters; *at != '\0'; ++at) {
            SendMessageA(box, WM_CHAR, static_cast<WPARAM>(*at), 1);
        }
    }
};

TEST_F(EntryBoxWindowTest, ARightClickOpensTheValueSelectedOverTheKnob) {
    HWND box = OpenOnDrive();
    ASSERT_NE(box, nullptr);
    char name[16] = "";
    GetClassNameA(box, name, sizeof(name));
    EXPECT_STREQ(name, "Edit");
    EXPECT_EQ(Text(box), "5.000");
    DWORD start = 1, end = 0;
    SendMessageA(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 5u);
    EXPECT_EQ(GetFocus(), box);
    EXPECT_EQ(GetWindowLongA(box, GWL_STYLE) & ES_MULTILINE, 0) << "one line, scrolling sideways";
    EXPECT_NE(GetWindowLongA(box, GWL_STYLE) & ES_AUTOHSCROLL, 0);
    EXPECT_NE(GetWindowLongA(box, GWL_STYLE) & ES_CENTER, 0);
    RECT r;
    GetWindowRect(box, &r);
    MapWindowPoints(nullptr, editorWindow, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 103);
    EXPECT_EQ(r.right - r.left, 51);
    EXPECT_EQ(r.bottom - r.top, 17);

    // The timer keeps painting around the box, never over it: its corner shows the entry
    // background, not the knob.
    PumpMessages(100);
    const auto shown = Capture();
    SavePicture(*shown, "editor-window-entry-box.png");
    EXPECT_EQ(Box(), box);
    EXPECT_EQ(shown->Bits()[103 * shown->RowSpan() + 40] & 0xFFFFFFu, 0xFFFFFFu);
}

TEST_F(EntryBoxWindowTest, TypedDigitsAndEnterSetTheValueOnTheNextTick) {
    HWND box = OpenOnDrive();
    ASSERT_NE(box, nullptr);
    host_.ClearCalls();
    Type(box, "7x.5");
    EXPECT_EQ(Text(box), "7.5") << "a letter is dropped";
    SendMessageA(box, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    EXPECT_EQ(Parameter(ORV_Q12::kDrive), 0.5f) << "nothing before the tick";
    Tick();
    EXPECT_EQ(Parameter(ORV_Q12::kDrive), 0.75f);
    EXPECT_EQ(host_.CountOf(audioMasterAutomate), 1);
    EXPECT_EQ(Box(), nullptr);

    // Above the range: the maximum.
    box = OpenOnDrive();
    ASSERT_NE(box, nullptr);
    Type(box, "12");
    SendMessageA(box, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    Tick();
    EXPECT_EQ(Parameter(ORV_Q12::kDrive), 1.0f);

    reference.editor->Press(kDriveKnob.x, kDriveKnob.y, MouseButton::Right);
    reference.editor->Release(kDriveKnob.x, kDriveKnob.y, MouseButton::Right);
    reference.editor->TypeText("12");
    reference.editor->PressKey(VK_RETURN);
    Settle();
    PumpMessages(60);
    EXPECT_EQ(DifferencesFromReference(*Capture()), 0) << "the box's area painted again";
}

// A long text scrolls on the box's one line; pasted text passes the same filter as typed text.
TEST_F(EntryBoxWindowTest, ALongTextStaysOnOneLineAndPastedLettersAreDropped) {
    HWND box = OpenOnDrive();
    ASSERT_NE(box, nullptr);
    Type(box, "1234567890");
    EXPECT_EQ(Text(box), "1234567890") << "wider than the box, all taken";

    ASSERT_TRUE(OpenClipboard(box));
    EmptyClipboard();
    const char pasted[] = "ab3.c\r\n";
    HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, sizeof(pasted));
    std::memcpy(GlobalLock(data), pasted, sizeof(pasted));
    GlobalUnlock(data);
    SetClipboardData(CF_TEXT, data);
    CloseClipboard();
    SendMessageA(box, EM_SETSEL, 0, -1);
    SendMessageA(box, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(box), "3.");
    SendMessageA(box, EM_SETSEL, 2, 2);
    // Shift+Insert, as the user presses it.
    INPUT keys[4] = {};
    for (INPUT& key : keys) key.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[3].ki.wVk = VK_SHIFT;
    keys[1].ki.wVk = keys[2].ki.wVk = VK_INSERT;
    keys[1].ki.dwFlags = keys[2].ki.dwFlags = KEYEVENTF_EXTENDEDKEY;
    keys[2].ki.dwFlags |= KEYEVENTF_KEYUP;
    keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, keys, sizeof(INPUT));
    PumpMessages(50);
    EXPECT_EQ(Text(box), "3.3.");
    SendMessageA(box, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    Tick();
    EXPECT_EQ(Parameter(ORV_Q12::kDrive), 0.33f);
}

// While the box has the keyboard the window still paints what is uncovered, around the box.
TEST_F(EntryBoxWindowTest, ThePanelIsPaintedAroundTheBoxWhileItHasTheKeyboard) {
    HWND box = OpenOnDrive();
    ASSERT_NE(box, nullptr);
    // The user clicked away and back into the box before the next tick.
    SetFocus(editorWindow);
    SetFocus(box);
    HDC dc = GetDC(editorWindow);
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 255));
    const RECT all{0, 0, 300, 350};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(editorWindow, dc);
    RedrawWindow(editorWindow, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const auto shown = Capture();
    EXPECT_EQ(Box(), box);
    EXPECT_NE(shown->Bits()[kVolumeKnob.y * shown->RowSpan() + kVolumeKnob.x] & 0xFFFFFFu,
              0xFF00FFu)
        << "painted";
    EXPECT_EQ(shown->Bits()[103 * shown->RowSpan() + 40] & 0xFFFFFFu, 0xFFFFFFu)
        << "the box is not painted over";
}

TEST_F(EntryBoxWindowTest, AClickElsewhereTheWheelOrALostFocusCloseItUnapplied) {
    HWND box = OpenOnDrive();
    ASSERT_NE(box, nullptr);
    Type(box, "9");
    Press(kBackground);
    EXPECT_EQ(Box(), nullptr) << "a press closes the box at once";
    Release(kBackground);

    box = OpenOnDrive();
    ASSERT_NE(box, nullptr);
    Type(box, "9");
    Wheel(kDriveKnob, 120);
    Tick();
    EXPECT_EQ(Box(), nullptr);

    box = OpenOnDrive();
    ASSERT_NE(box, nullptr);
    Type(box, "9");
    SetFocus(hostWindow->Handle());
    Tick();
    EXPECT_EQ(Box(), nullptr);

    EXPECT_EQ(Parameter(ORV_Q12::kDrive), 0.5f);
    Settle();
    PumpMessages(60);
    EXPECT_EQ(DifferencesFromReference(*Capture()), 0);
}

TEST_F(EntryBoxWindowTest, ClosingTheEditorWithTheBoxOpenLeavesNothingBehind) {
    ASSERT_NE(OpenOnDrive(), nullptr);
    EXPECT_EQ(fx.Dispatch(effEditClose), 1);
    ASSERT_NE(OpenEditor(fx), nullptr);
    EXPECT_EQ(Box(), nullptr);
    Tick();
    HWND box = OpenOnDrive();
    ASSERT_NE(box, nullptr) << "a box opens again";
    Type(box, "2");
    SendMessageA(box, WM_KEYDOWN, VK_RETURN, 0x001C0001);
    Tick();
    EXPECT_EQ(Parameter(ORV_Q12::kDrive), 0.2f);
}
