#include "editor_win32/file_dialog_start.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

#include "plugin/text_buffer.h"

namespace {

// ANSI text into a buffer of `units`; left empty when it is longer than the buffer holds.
void WideFromAnsi(const char* text, wchar_t* out, int units) {
    out[0] = L'\0';
    if (text == nullptr || std::strlen(text) >= static_cast<size_t>(units)) return;
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, out, units) == 0) out[0] = L'\0';
}

}  // namespace

void PrepareFileDialog(const char* file, const char* folder, const char* extensions,
                       FileDialogStart* start) {
    WideFromAnsi(file, start->file, FileDialogStart::kPathUnits);
    WideFromAnsi(folder, start->folder, FileDialogStart::kPathUnits);
    start->filter[0] = L'\0';
    start->defaultExtension[0] = L'\0';
    if (extensions == nullptr) return;

    char pattern[FileDialogStart::kPatternUnits] = "";
    size_t used = 0;
    bool first = true;
    for (const char* at = extensions; *at != '\0';) {
        if (*at == ' ') {
            ++at;
            continue;
        }
        const size_t length = std::strcspn(at, " ");
        if (first) {
            if (length < static_cast<size_t>(FileDialogStart::kExtensionUnits)) {
                char extension[FileDialogStart::kExtensionUnits];
                std::memcpy(extension, at, length);
                extension[length] = '\0';
                WideFromAnsi(extension, start->defaultExtension, FileDialogStart::kExtensionUnits);
            }
        }
        const size_t piece = (first ? 0 : 1) + 2 + length;  // ";" "*." extension
        if (used + piece >= sizeof(pattern)) break;
        if (!first) pattern[used++] = ';';
        pattern[used++] = '*';
        pattern[used++] = '.';
        std::memcpy(pattern + used, at, length);
        used += length;
        pattern[used] = '\0';
        first = false;
        at += length;
    }
    if (used == 0) return;

    wchar_t wide[FileDialogStart::kPatternUnits];
    WideFromAnsi(pattern, wide, FileDialogStart::kPatternUnits);
    const size_t units = std::wcslen(wide);
    if (units == 0) return;
    std::wmemcpy(start->filter, wide, units + 1);
    std::wmemcpy(start->filter + units + 1, wide, units + 1);
    start->filter[2 * units + 2] = L'\0';
}

void SetUtf8FromWide(TextBuffer& out, const wchar_t* text, int units) {
    // Up to three UTF-8 bytes a UTF-16 unit, and the end.
    char utf8[3 * FileDialogStart::kChosenUnits + 1];
    int bytes = 0;
    if (text != nullptr && units != 0) {
        if (units < 0) units = static_cast<int>(wcsnlen(text, FileDialogStart::kChosenUnits));
        if (units > FileDialogStart::kChosenUnits) units = FileDialogStart::kChosenUnits;
        bytes =
            WideCharToMultiByte(CP_UTF8, 0, text, units, utf8, sizeof(utf8) - 1, nullptr, nullptr);
    }
    utf8[bytes > 0 ? bytes : 0] = '\0';
    out.Set(utf8);
}
