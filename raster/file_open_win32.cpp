#include "raster/file_open.h"

#include <windows.h>

std::FILE* OpenFileForReading(const char* utf8Path) {
    std::FILE* file = nullptr;
    // The NT family (top bit of GetVersion clear) has the wide-character file functions.
    if ((GetVersion() & 0x80000000u) == 0) {
        wchar_t wide[2048];
        if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8Path, -1, wide, 2048) > 0) {
            file = _wfopen(wide, L"rb");
        }
    }
    return file ? file : std::fopen(utf8Path, "rb");
}
