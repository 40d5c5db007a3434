// The editor's other prompts and services: message boxes, the host's main window, well-known
// folders, the file, folder and colour dialogs, and opening a web address. No control of the
// effect uses them; each is modal and returns when the user has chosen or cancelled.
#include <shlobj.h>
#include <wininet.h>

#include <cstring>
#include <new>

#include "editor_win32/file_dialog_start.h"
#include "editor_win32/win32_editor_procedures.h"
#include "plugin/make_nothrow.h"
#include "plugin/text_buffer.h"

namespace {

// Folders are reported with at most this many characters.
constexpr int kFolderCharacters = 256;

// The folder part of a module's file name, backslash included; empty without one, or when the
// only backslash ends the name.
void FolderOfModule(HMODULE module, TextBuffer& folder) {
    folder.Set("");
    char path[kFolderCharacters + 1] = "";
    GetModuleFileNameA(module, path, sizeof(path));
    path[kFolderCharacters] = '\0';
    char* last = std::strrchr(path, '\\');
    if (last == nullptr || last[1] == '\0') return;
    last[1] = '\0';
    folder.Set(path);
}

void SetCutFolder(char* path, bool found, TextBuffer& folder) {
    path[kFolderCharacters] = '\0';
    folder.Set(found ? path : "");
}

UINT_PTR CALLBACK ColourDialogHook(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto* request = reinterpret_cast<const CHOOSECOLORA*>(lParam);
        const auto* prompt = reinterpret_cast<const char*>(request->lCustData);
        if (prompt != nullptr) SetWindowTextA(dialog, prompt);
    }
    return 0;
}

}  // namespace

WindowHandle Win32Editor::GetMainWindow() {
    // The remembered window may have closed since; its handle could name another window now.
    if (mainWindow != nullptr && IsWindow(AsWindow(mainWindow))) return mainWindow;
    mainWindow = nullptr;
    if (window != nullptr) {
        HWND top = AsWindow(window);
        while (HWND up = GetParent(top)) top = up;
        mainWindow = top;
        GetClassNameA(top, mainWindowClass, sizeof(mainWindowClass));
        return mainWindow;
    }
    if (mainWindowClass[0] == '\0') return nullptr;
    processId = static_cast<int32_t>(GetCurrentProcessId());
    auto visit = [](HWND candidate, LPARAM context) -> BOOL {
        auto* self = reinterpret_cast<Win32Editor*>(context);
        DWORD owner = 0;
        GetWindowThreadProcessId(candidate, &owner);
        if (owner != static_cast<DWORD>(self->processId)) return TRUE;
        char name[sizeof(self->mainWindowClass)] = "";
        GetClassNameA(candidate, name, sizeof(name));
        if (std::strcmp(name, self->mainWindowClass) != 0) return TRUE;
        self->mainWindow = candidate;
        return FALSE;
    };
    EnumWindows(visit, reinterpret_cast<LPARAM>(this));
    return mainWindow;
}

int Win32Editor::ShowMessage(const char* text, const char* caption, int type) {
    return MessageBoxA(AsWindow(GetMainWindow()), text, caption, static_cast<UINT>(type));
}

void Win32Editor::HostFolder(TextBuffer& folder) { FolderOfModule(nullptr, folder); }

void Win32Editor::ModuleFolder(TextBuffer& folder) {
    FolderOfModule(static_cast<HMODULE>(instance), folder);
}

void Win32Editor::DesktopFolder(TextBuffer& folder) {
    char path[MAX_PATH + 1] = "";
    const bool found = SHGetSpecialFolderPathA(nullptr, path, CSIDL_DESKTOP, FALSE) != FALSE;
    SetCutFolder(path, found, folder);
}

void Win32Editor::AppDataFolder(TextBuffer& folder) {
    char path[MAX_PATH + 1] = "";
    const bool found = SUCCEEDED(
        SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path));
    SetCutFolder(path, found, folder);
}

void Win32Editor::ChooseFile(TextBuffer& file, int action, TextBuffer& folder,
                             const char* extensions, bool pickFolder) {
    if (window == nullptr) {
        file.Set("");
        return;
    }
    if (folder.IsEmpty()) DesktopFolder(folder);

    if (pickFolder) {
        BROWSEINFOW browse = {};
        browse.lpszTitle = L"Select a folder";
        LPITEMIDLIST chosen = SHBrowseForFolderW(&browse);
        if (chosen == nullptr) return;
        wchar_t path[MAX_PATH] = L"";
        if (SHGetPathFromIDListW(chosen, path)) {
            SetCurrentDirectoryW(path);
            SetUtf8FromWide(folder, path);
            SetUtf8FromWide(file, path);
        }
        CoTaskMemFree(chosen);
        return;
    }

    // Large: the dialog's own buffers, filled from the caller's texts within their limits.
    auto start = MakeNothrow<FileDialogStart>();
    if (start == nullptr) {
        file.Set("");
        return;
    }
    PrepareFileDialog(file.Get(), folder.Get(), extensions, start.get());
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = AsWindow(window);
    dialog.lpstrFilter = start->filter[0] != L'\0' ? start->filter : nullptr;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = start->file;
    dialog.nMaxFile = FileDialogStart::kChosenUnits;
    dialog.lpstrInitialDir = start->folder[0] != L'\0' ? start->folder : nullptr;
    dialog.lpstrDefExt = start->defaultExtension[0] != L'\0' ? start->defaultExtension : nullptr;
    const bool saving = action == 1;
    // The host's current directory stays its own.
    dialog.Flags =
        OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | (saving ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    if (!(saving ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog))) {
        file.Set("");
        return;
    }
    SetUtf8FromWide(file, start->file);
    // Drive and directory: everything before the file's own name.
    SetUtf8FromWide(folder, start->file, dialog.nFileOffset);
}

bool Win32Editor::PickColor(Color& color, const char* prompt) {
    if (window == nullptr) return false;
    static_assert(sizeof(unsigned long) == sizeof(COLORREF), "custom colours are COLORREFs");
    if (!customColors) customColors.reset(new (std::nothrow) unsigned long[16]());
    if (!customColors) return false;
    CHOOSECOLORA request = {};
    request.lStructSize = sizeof(request);
    request.hwndOwner = AsWindow(window);
    request.rgbResult = RGB(static_cast<BYTE>(color.red), static_cast<BYTE>(color.green),
                            static_cast<BYTE>(color.blue));
    request.lpCustColors = customColors.get();
    request.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR | CC_SOLIDCOLOR | CC_ENABLEHOOK;
    request.lCustData = reinterpret_cast<LPARAM>(prompt);
    request.lpfnHook = &ColourDialogHook;
    if (!ChooseColorA(&request)) return false;
    color.red = GetRValue(request.rgbResult);
    color.green = GetGValue(request.rgbResult);
    color.blue = GetBValue(request.rgbResult);
    return true;
}

bool Win32Editor::OpenWebAddress(const char* address, const char* title, const char* confirmation,
                                 const char* failure) {
    if (confirmation != nullptr &&
        MessageBoxA(AsWindow(window), confirmation, title, MB_YESNO) != IDYES) {
        return false;
    }
    DWORD connection = 0;
    if (InternetGetConnectedState(&connection, 0) &&
        reinterpret_cast<INT_PTR>(ShellExecuteA(AsWindow(window), "open", address, nullptr, nullptr,
                                                SW_SHOWNORMAL)) > 32) {
        return true;
    }
    if (failure != nullptr) MessageBoxA(AsWindow(window), failure, title, MB_OK);
    return false;
}
