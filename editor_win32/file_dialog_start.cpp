#include "editor_win32/file_dialog_start.h"

#include <windows.h>

#include <cstring>
#include <cwchar>

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

std::string Utf8FromWide(const wchar_t* text, int units) {
    if (text == nullptr || units == 0) return {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, units, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, units, &utf8[0], bytes, nullptr, nullptr);
    if (units < 0) utf8.pop_back();  // the converted end
    return utf8;
}
