#include "raster/text_decode.h"

namespace {

inline unsigned Byte(const char* text, int i) { return static_cast<unsigned char>(text[i]); }

// True when the `count` bytes after the lead are all continuation bytes 0x80..0xBF; stops at
// the first that is not, so a NUL ends the check.
bool Continues(const char* text, int available, int count) {
    if (available < 1 + count) {
        return false;
    }
    for (int i = 1; i <= count; ++i) {
        if ((Byte(text, i) & 0xC0) != 0x80) {
            return false;
        }
    }
    return true;
}

}  // namespace

int DecodeTextCharacter(const char* text, int available, uint16_t* code) {
    const unsigned lead = Byte(text, 0);
    if (lead >= 0xC2 && lead <= 0xDF && Continues(text, available, 1)) {
        *code = uint16_t((lead & 0x1F) << 6 | (Byte(text, 1) & 0x3F));
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF && Continues(text, available, 2)) {
        *code = uint16_t(lead << 12 | (Byte(text, 1) & 0x3F) << 6 | (Byte(text, 2) & 0x3F));
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4 && Continues(text, available, 3)) {
        *code = ' ';  // beyond 16 bits: shown as a space
        return 4;
    }
    *code = uint16_t(lead);
    return 1;
}
