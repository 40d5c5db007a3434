// The text entry box: a native EDIT child over the control, whose own procedure is wrapped to
// filter characters and to report focus and Enter to the editor; the next timer tick commits or
// cancels (Editor::Tick).
#include <cstring>

#include "editor/entry_filter.h"
#include "editor_win32/win32_editor_procedures.h"
#include "raster/font_handle.h"

namespace {

constexpr WPARAM kEnter = VK_RETURN;
// More than any box takes (EM_LIMITTEXT cuts the rest).
constexpr int kPasteCharacters = 256;

DWORD AlignmentStyle(int alignment) {
    switch (alignment) {
        case AlignCentre: return ES_CENTER;
        case AlignFar: return ES_RIGHT;
        default: return 0;
    }
}

COLORREF ColorRefOf(const Color& c) {
    return RGB(static_cast<BYTE>(c.red), static_cast<BYTE>(c.green), static_cast<BYTE>(c.blue));
}

// Takes out of the box's text what typing would not have put there (after the box's own menu
// pasted, which it does without asking the box's procedure).
void DropRefusedCharacters(HWND box, const PluginParam* param) {
    char text[kPasteCharacters + 1] = "";
    GetWindowTextA(box, text, sizeof(text));
    char kept[kPasteCharacters + 1];
    int length = 0;
    for (const char* at = text; *at != '\0'; ++at) {
        if (static_cast<unsigned char>(*at) >= 32 && EntryTakesCharacter(param, *at)) {
            kept[length++] = *at;
        }
    }
    kept[length] = '\0';
    if (std::strcmp(kept, text) == 0) return;
    SetWindowTextA(box, kept);
    SendMessageA(box, EM_SETSEL, static_cast<WPARAM>(length), static_cast<LPARAM>(length));
}

// Pastes the clipboard's text into the box as typing would put it there: only the characters
// the box's parameter takes, and nothing that would start a second line.
void PasteFiltered(HWND box, const PluginParam* param) {
    if (!OpenClipboard(box)) return;
    char text[kPasteCharacters + 1];
    int length = 0;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const auto* pasted = static_cast<const char*>(GlobalLock(data))) {
            for (const char* at = pasted; *at != '\0' && length < kPasteCharacters; ++at) {
                if (static_cast<unsigned char>(*at) >= 32 && EntryTakesCharacter(param, *at)) {
                    text[length++] = *at;
                }
            }
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    // As with typed characters the box drops, nothing taken leaves the selection as it is.
    if (length == 0) return;
    text[length] = '\0';
    SendMessageA(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

}  // namespace

void Win32Editor::OpenEntryBox(Control* control, const TextStyle& style, const Rect& r,
                               const char* text, PluginParam* param) {
    if (control == nullptr || EntryBoxOpen() || window == nullptr) return;
    // One line that scrolls sideways: a multi-line box drops ES_AUTOHSCROLL when centred, and a
    // text wider than the box then wraps onto a hidden line or is refused.
    const DWORD boxStyle = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | AlignmentStyle(style.alignment);
    const Rect at = Scale().PlaceRect({r.left, r.top, r.right + 1, r.bottom + 1});
    HWND box = CreateWindowExA(0, "EDIT", text, boxStyle, at.left, at.top, at.right - at.left,
                               at.bottom - at.top, AsWindow(window),
                               reinterpret_cast<HMENU>(INT_PTR{kEntryBoxId}),
                               static_cast<HINSTANCE>(instance), nullptr);
    if (box == nullptr) return;
    entryBox = box;

    FontRequest font;
    font.face = style.face;
    font.height = Scale().Pixels(style.size);
    font.weight = style.style == StyleBold ? FW_BOLD : FW_DONTCARE;
    font.italic = style.style == StyleItalic;
    entryFont = CreateFontHandle(font);
    SendMessageA(box, WM_SETFONT, reinterpret_cast<WPARAM>(entryFont), FALSE);
    SendMessageA(box, EM_SETSEL, 0, -1);
    SendMessageA(box, EM_LIMITTEXT, static_cast<WPARAM>(control->EntryMaxChars()), 0);

    // The focus comes before the wrapped procedure, so this first focus is not "Focused".
    SetFocus(box);
    entryPrevProc = SetWindowLongPtrA(box, GWLP_WNDPROC,
                                      reinterpret_cast<LONG_PTR>(&Win32EditorProcedures::EntryBox));
    SetWindowLongPtrA(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    entryParam = param;
    entryControl = control;
}

void Win32Editor::ReadEntryText(char* text, int capacity) {
    if (text == nullptr || capacity <= 0) return;
    text[0] = '\0';
    if (entryBox != nullptr) {
        SendMessageA(AsWindow(entryBox), WM_GETTEXT, static_cast<WPARAM>(capacity),
                     reinterpret_cast<LPARAM>(text));
    }
}

void Win32Editor::DestroyEntryBox() {
    if (entryBox == nullptr) return;
    HWND box = AsWindow(entryBox);
    // Its own procedure again first: the messages of its destruction are not the user's.
    SetWindowLongPtrA(box, GWLP_WNDPROC, entryPrevProc);
    SetWindowLongPtrA(box, GWLP_USERDATA, 0);
    entryBox = nullptr;
    entryPrevProc = 0;
    DestroyWindow(box);
    DeleteFontHandle(entryFont);
    entryFont = nullptr;
}

void Win32Editor::ForgetEntryBox() {
    entryBox = nullptr;
    entryPrevProc = 0;
    DeleteFontHandle(entryFont);
    entryFont = nullptr;
    entryControl = nullptr;
    entryParam = nullptr;
    entryState = TextEntryState::Idle;
}

LRESULT CALLBACK Win32EditorProcedures::EntryBox(HWND box, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
    auto* editor = reinterpret_cast<Win32Editor*>(GetWindowLongPtrA(box, GWLP_USERDATA));
    if (editor == nullptr || editor->entryBox != box) {
        return DefWindowProcA(box, message, wParam, lParam);
    }
    const auto previous = reinterpret_cast<WNDPROC>(editor->entryPrevProc);
    switch (message) {
        case WM_SETFOCUS: editor->EntryFocusChanged(true); break;
        case WM_KILLFOCUS: editor->EntryFocusChanged(false); break;
        case WM_KEYDOWN:
            if (wParam == kEnter) {
                editor->CommitEntryBox();
                return 0;
            }
            // Shift+Insert pastes, and the box would do it without a WM_PASTE.
            if (wParam == VK_INSERT && GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_CONTROL) >= 0) {
                PasteFiltered(box, editor->entryParam);
                return 0;
            }
            break;
        case WM_CHAR:
            if (!EntryTakesCharacter(editor->entryParam, static_cast<char>(wParam))) return 0;
            break;
        case WM_PASTE: PasteFiltered(box, editor->entryParam); return 0;
        case WM_CONTEXTMENU: {
            const LRESULT result = CallWindowProcA(previous, box, message, wParam, lParam);
            // The menu ran its own loop: the box may be gone, or no longer this editor's.
            if (IsWindow(box) &&
                GetWindowLongPtrA(box, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(editor)) {
                DropRefusedCharacters(box, editor->entryParam);
            }
            return result;
        }
        case WM_GETDLGCODE: {
            LRESULT code = CallWindowProcA(previous, box, message, wParam, lParam);
            const auto* asked = reinterpret_cast<const MSG*>(lParam);
            if (editor->entryParam == nullptr && asked != nullptr && asked->message == WM_KEYDOWN &&
                asked->wParam == kEnter) {
                code |= DLGC_WANTALLKEYS;
            }
            return code;
        }
        case WM_COMMAND:
            if (HIWORD(wParam) == 1) {
                editor->CommitEntryBox();
                return 0;
            }
            break;
        case WM_NCDESTROY:
            // Destroyed with the editor window: forget it before its handle can be reused.
            editor->ForgetEntryBox();
            return CallWindowProcA(previous, box, message, wParam, lParam);
        default: break;
    }
    return CallWindowProcA(previous, box, message, wParam, lParam);
}

LRESULT Win32EditorProcedures::EntryColours(Win32Editor& editor, HDC dc) {
    if (editor.entryControl == nullptr) return 0;
    const TextStyle& style = editor.entryControl->Text();
    SetBkColor(dc, ColorRefOf(style.entryBackground));
    SetTextColor(dc, ColorRefOf(style.entryText));
    SetBkMode(dc, OPAQUE);
    // The box's area beyond the text in the same background.
    SetDCBrushColor(dc, ColorRefOf(style.entryBackground));
    return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
}
