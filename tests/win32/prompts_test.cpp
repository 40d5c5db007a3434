// The editor's Windows services: the popup menu's items and ids and a menu outliving its
// editor's window, the folders, the file dialog's starting buffers and their limits and the
// host's current directory it keeps, the prompts that refuse without a window, the host's main
// window, growing with the editor, images loaded from the module the editor was given, and two
// editors on two threads sharing the window class.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "editor_win32/file_dialog_start.h"
#include "editor_win32/win32_editor.h"
#include "editor_win32/win32_popup_menu.h"
#include "effect/orv_q12.h"
#include "plugin/text_buffer.h"
#include "tests/win32/host_window.h"

namespace {

std::string MenuText(HMENU menu, int position) {
    char text[64] = "";
    GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof(text), MF_BYPOSITION);
    return text;
}

std::string FolderOf(HMODULE module) {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(module, path, sizeof(path));
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

// The effect with its own Windows editor, in this process.
class Win32EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        fx = std::make_unique<ORV_Q12>(nullptr);
        editor = static_cast<Win32Editor*>(fx->AttachedEditor());
    }
    void Open(HostWindow& host = HostWindow::Shared()) {
        ASSERT_NE(editor->CreateEditorWindow(host.Handle()), nullptr);
    }

    std::unique_ptr<ORV_Q12> fx;
    Win32Editor* editor = nullptr;
};

}  // namespace

TEST(Win32PopupMenu, NumbersItemsAndHandsOutIdsMenuByMenu) {
    for (int style = 0; style <= 3; ++style) {
        PopupMenu menu;
        menu.numbering = style;
        for (const char* text : {"a", "b", "c", "d", "e", "f", "g", "h", "Ninth"}) {
            ASSERT_NE(menu.AddItem(text), nullptr);
        }
        int nextId = 0;
        HMENU native = BuildNativeMenu(menu, &nextId);
        ASSERT_NE(native, nullptr);
        const char* expected[] = {"Ninth", "9: Ninth", "09: Ninth", "009: Ninth"};
        EXPECT_EQ(MenuText(native, 8), expected[style]);
        EXPECT_EQ(GetMenuItemID(native, 8), 8u);
        DestroyMenu(native);
    }

    PopupMenu menu;
    menu.numbering = 1;
    menu.AddItem("Open");
    menu.AddItem("", ItemSeparator);
    PopupMenu* recent = menu.AddSubmenu("Recent");
    ASSERT_NE(recent, nullptr);
    recent->AddItem("one", ItemChecked);
    recent->AddItem("two", ItemGrayed);
    menu.AddItem("Quit", ItemDisabled);
    int nextId = 0;
    HMENU native = BuildNativeMenu(menu, &nextId);
    ASSERT_NE(native, nullptr);
    EXPECT_EQ(nextId, 6);
    EXPECT_EQ(MenuText(native, 0), "1: Open");
    EXPECT_NE(GetMenuState(native, 1, MF_BYPOSITION) & MF_SEPARATOR, 0u);
    EXPECT_EQ(MenuText(native, 2), "3: Recent");
    EXPECT_EQ(MenuText(native, 3), "4: Quit");
    EXPECT_EQ(GetMenuItemID(native, 0), 0u);
    EXPECT_EQ(GetMenuItemID(native, 3), 3u);
    EXPECT_NE(GetMenuState(native, 3, MF_BYPOSITION) & MF_DISABLED, 0u);
    HMENU sub = GetSubMenu(native, 2);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(MenuText(sub, 0), "one") << "a submenu has its own numbering style";
    EXPECT_EQ(GetMenuItemID(sub, 0), 4u) << "after the four ids of the menu above";
    EXPECT_EQ(GetMenuItemID(sub, 1), 5u);
    EXPECT_NE(GetMenuState(sub, 0, MF_BYPOSITION) & MF_CHECKED, 0u);
    EXPECT_NE(GetMenuState(sub, 1, MF_BYPOSITION) & MF_GRAYED, 0u);
    DestroyMenu(native);

    EXPECT_EQ(ChooseMenuItem(menu, 3), &menu);
    EXPECT_EQ(menu.chosenItem, 3);
    EXPECT_EQ(ChooseMenuItem(menu, 5), recent);
    EXPECT_EQ(recent->chosenItem, 1);
    EXPECT_EQ(ChooseMenuItem(menu, 6), nullptr);
}

TEST(FileDialogStart, KeepsEveryTextWithinItsBuffer) {
    auto start = std::make_unique<FileDialogStart>();
    PrepareFileDialog("take.wav", "C:\\music", "wav  aiff", start.get());
    EXPECT_STREQ(start->file, L"take.wav");
    EXPECT_STREQ(start->folder, L"C:\\music");
    EXPECT_STREQ(start->filter, L"*.wav;*.aiff");
    EXPECT_STREQ(start->filter + 13, L"*.wav;*.aiff");
    EXPECT_EQ(start->filter[26], L'\0');
    EXPECT_STREQ(start->defaultExtension, L"wav");

    // Too long to start from: left out; patterns cut after the last whole one that fits.
    const std::string longPath(300, 'p');
    std::string extensions = "averyveryverylongextension";
    for (int i = 0; i < 60; ++i) extensions += " ext" + std::to_string(i);
    PrepareFileDialog(longPath.c_str(), longPath.c_str(), extensions.c_str(), start.get());
    EXPECT_STREQ(start->file, L"");
    EXPECT_STREQ(start->folder, L"");
    EXPECT_STREQ(start->defaultExtension, L"") << "26 characters are no default extension";
    const std::wstring pattern = start->filter;
    EXPECT_LT(pattern.size(), 256u);
    EXPECT_GT(pattern.size(), 240u);
    EXPECT_EQ(pattern.compare(0, 30, L"*.averyveryverylongextension;*"), 0);
    const size_t lastPattern = pattern.rfind(L";*.ext");
    ASSERT_NE(lastPattern, std::wstring::npos);
    const int lastNumber = std::stoi(pattern.substr(lastPattern + 6));
    EXPECT_EQ(pattern.substr(lastPattern + 6), std::to_wstring(lastNumber)) << "a whole pattern";
    const std::wstring next = L";*.ext" + std::to_wstring(lastNumber + 1);
    EXPECT_GE(pattern.size() + next.size(), 256u) << "cut only where the next would not fit";

    PrepareFileDialog("", "", nullptr, start.get());
    EXPECT_EQ(start->filter[0], L'\0');
}

TEST_F(Win32EditorTest, FoldersOfTheHostProgramAndOfTheModule) {
    TextBuffer folder;
    editor->HostFolder(folder);
    EXPECT_EQ(std::string(folder.Get()), FolderOf(nullptr));
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    editor->SetModuleInstance(kernel);
    editor->ModuleFolder(folder);
    EXPECT_EQ(std::string(folder.Get()), FolderOf(kernel));
    EXPECT_NE(std::string(folder.Get()), FolderOf(nullptr));
}

TEST_F(Win32EditorTest, ImagesComeFromTheModuleTheEditorWasGiven) {
    EXPECT_NE(editor->LoadPlatformBitmap(101, "101.png"), nullptr);
    EXPECT_EQ(editor->LoadPlatformBitmap(101, "101.bmp"), nullptr);
    editor->SetModuleInstance(GetModuleHandleA("kernel32.dll"));
    EXPECT_EQ(editor->LoadPlatformBitmap(101, "101.PNG"), nullptr);
}

TEST_F(Win32EditorTest, PromptsNeedingAWindowRefuseWithoutOne) {
    TextBuffer file, folder;
    file.Set("keep.wav");
    editor->ChooseFile(file, 0, folder, "wav", false);
    EXPECT_STREQ(file.Get(), "");
    Color color;
    EXPECT_FALSE(editor->PickColor(color, "Colour"));
    PopupMenu menu;
    menu.AddItem("a");
    EXPECT_EQ(editor->CreatePopupMenu(menu, Rect{0, 0, 10, 10}), nullptr);
    EXPECT_EQ(editor->GetMainWindow(), nullptr);
}

TEST_F(Win32EditorTest, TheMainWindowIsTheHostsTopLevelWindowAlsoWhileClosed) {
    auto host = std::make_unique<HostWindow>();
    Open(*host);
    EXPECT_EQ(editor->GetMainWindow(), host->Handle());
    editor->DestroyEditorWindow();
    EXPECT_EQ(editor->GetMainWindow(), host->Handle());
    // Gone: another top-level window of this process with the same class takes its place.
    const HWND gone = host->Handle();
    host.reset();
    HostWindow& other = HostWindow::Shared();
    const HWND found = static_cast<HWND>(editor->GetMainWindow());
    EXPECT_NE(found, gone);
    char name[64] = "";
    GetClassNameA(found, name, sizeof(name));
    EXPECT_STREQ(name, HostWindow::kClass);
    EXPECT_TRUE(IsWindow(other.Handle()));
}

TEST_F(Win32EditorTest, ResizingGrowsTheWindowAndTheHostsWindow) {
    HostWindow& host = HostWindow::Shared();
    Open(host);
    RECT hostBefore;
    GetWindowRect(host.Handle(), &hostBefore);
    editor->Resize(320, 365);
    RECT window, hostAfter;
    GetWindowRect(static_cast<HWND>(editor->EditorWindowHandle()), &window);
    GetWindowRect(host.Handle(), &hostAfter);
    EXPECT_EQ(window.right - window.left, 320);
    EXPECT_EQ(window.bottom - window.top, 365);
    EXPECT_EQ(hostAfter.right - hostAfter.left, hostBefore.right - hostBefore.left + 20);
    EXPECT_EQ(hostAfter.bottom - hostAfter.top, hostBefore.bottom - hostBefore.top + 15);
    SetWindowPos(host.Handle(), nullptr, 0, 0, hostBefore.right - hostBefore.left,
                 hostBefore.bottom - hostBefore.top, SWP_NOMOVE | SWP_NOZORDER);
}

namespace {

// The modal loop's timer: what a user (or a host) does while a menu or dialog is up.
Win32Editor* closingEditor = nullptr;

void CALLBACK CloseEditorAndMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    closingEditor->DestroyEditorWindow();
    EndMenu();
}

void CALLBACK PressOpen(HWND, UINT, UINT_PTR timer, DWORD) {
    auto visit = [](HWND window, LPARAM) -> BOOL {
        char name[16] = "";
        GetClassNameA(window, name, sizeof(name));
        if (std::strcmp(name, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        return FALSE;
    };
    if (!EnumThreadWindows(GetCurrentThreadId(), visit, 0)) KillTimer(nullptr, timer);
}

}  // namespace

// The host closed the editor while its menu was up: the menu returns without touching the
// closed window (a null one would repaint every window on the desktop).
TEST_F(Win32EditorTest, AMenuWhoseEditorClosedMeanwhileReturnsQuietly) {
    Open();
    HostWindow elsewhere(600, 40, 80, 80);
    ValidateRect(elsewhere.Handle(), nullptr);
    PopupMenu menu;
    menu.AddItem("one");
    closingEditor = editor;
    SetTimer(nullptr, 0, 100, &CloseEditorAndMenu);
    EXPECT_EQ(editor->CreatePopupMenu(menu, Rect{0, 0, 10, 10}), nullptr);
    EXPECT_EQ(editor->EditorWindowHandle(), nullptr);
    EXPECT_FALSE(GetUpdateRect(elsewhere.Handle(), nullptr, FALSE)) << "a window not ours repaints";
}

TEST_F(Win32EditorTest, TheFileDialogKeepsTheHostsCurrentDirectory) {
    Open();
    char temporary[MAX_PATH] = "";
    GetTempPathA(sizeof(temporary), temporary);
    const std::string folder = std::string(temporary) + "orv-file-dialog";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string chosen = folder + "\\take.wav";
    HANDLE file = CreateFileA(chosen.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(file);
    char before[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof(before), before);

    TextBuffer name, start;
    name.Set("take.wav");
    start.Set(folder.c_str());
    SetTimer(nullptr, 0, 200, &PressOpen);
    editor->ChooseFile(name, 0, start, "wav", false);
    char after[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof(after), after);
    EXPECT_STREQ(name.Get(), chosen.c_str());
    EXPECT_STREQ(after, before);
    DeleteFileA(chosen.c_str());
    RemoveDirectoryA(folder.c_str());
}

// A host that runs each plug-in's window on a user-interface thread of its own: two editors
// open and close their windows at once, and the window class they share stays registered while
// either holds a window and goes when both are closed.
TEST(Win32EditorThreads, TwoEditorsOnTwoThreadsShareTheWindowClass) {
    std::atomic<int> failedOpenings{0};
    auto openAndClose = [&](int x) {
        HostWindow host(x, 500, 320, 370);
        ORV_Q12 fx(nullptr);
        Editor& editor = *fx.AttachedEditor();
        for (int i = 0; i < 2000; ++i) {
            if (editor.CreateEditorWindow(host.Handle()) == nullptr) ++failedOpenings;
            editor.DestroyEditorWindow();
        }
        PumpPending();
    };
    std::thread other(openAndClose, 400);
    openAndClose(40);
    other.join();
    EXPECT_EQ(failedOpenings.load(), 0);
    WNDCLASSA windowClass;
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), Win32Editor::kWindowClass, &windowClass));
}
