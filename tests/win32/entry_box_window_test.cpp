// Typing a value into the native entry box: where a right click opens it and what it shows, the
// characters it takes, Enter committing on the next tick, and every way it closes unapplied.
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
    EXPECT_NE(GetWindowLongA(box, GWL_STYLE) & ES_MULTILINE, 0);
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
