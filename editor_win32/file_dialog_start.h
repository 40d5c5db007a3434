// What the file dialog starts from, in the fixed buffers the dialog is handed. Every limit is a
// check, never an overrun: a starting file or folder longer than 255 characters is left out,
// the extension patterns are cut after the last whole pattern that fits, and a first extension
// too long to be the default one is left out.
#pragma once

class TextBuffer;

struct FileDialogStart {
    static constexpr int kPathUnits = 256;      // a starting file or folder, with its end
    static constexpr int kPatternUnits = 256;   // "*.a;*.b", with its end
    static constexpr int kExtensionUnits = 16;  // the default extension, with its end
    static constexpr int kChosenUnits = 1024;   // the path the dialog writes back

    wchar_t file[kChosenUnits] = L"";
    wchar_t folder[kPathUnits] = L"";
    // The dialog's filter: the patterns as description and as pattern, each ending in 0, and a
    // final 0. Empty without extensions.
    wchar_t filter[2 * kPatternUnits + 1] = L"";
    wchar_t defaultExtension[kExtensionUnits] = L"";
};

// From the caller's file and folder (ANSI code page) and its space-separated extensions.
void PrepareFileDialog(const char* file, const char* folder, const char* extensions,
                       FileDialogStart* start);

// Sets `out` to the UTF-8 form of the first `units` UTF-16 units of text (all of it for -1);
// at most kChosenUnits units are converted.
void SetUtf8FromWide(TextBuffer& out, const wchar_t* text, int units = -1);
