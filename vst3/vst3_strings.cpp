#include "vst3/vst3_strings.h"

namespace vst3 {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The code point starting at text[i], advancing i past it.
char32_t NextUtf8(const unsigned char* text, std::size_t& i) {
    const unsigned char lead = text[i++];
    if (lead < 0x80) return lead;
    int more = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
    if (more < 0 || lead >= 0xF5) return kReplacement;
    char32_t c = lead & (0x3F >> more);
    for (; more > 0; --more) {
        if ((text[i] & 0xC0) != 0x80) return kReplacement;
        c = (c << 6) | (text[i++] & 0x3F);
    }
    return (c >= 0xD800 && c < 0xE000) || c > 0x10FFFF ? kReplacement : c;
}

}  // namespace

void CopyToString16(char16* out, std::size_t capacity, const char* text) {
    if (out == nullptr || capacity == 0) return;
    std::size_t n = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text != nullptr ? text : "");
    for (std::size_t i = 0; bytes[i] != 0;) {
        const char32_t c = NextUtf8(bytes, i);
        if (c < 0x10000) {
            if (n + 1 >= capacity) break;
            out[n++] = static_cast<char16>(c);
        } else {
            if (n + 2 >= capacity) break;
            out[n++] = static_cast<char16>(0xD800 + ((c - 0x10000) >> 10));
            out[n++] = static_cast<char16>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    out[n] = 0;
}

void CopyFromString16(char* out, std::size_t capacity, const char16* text, std::size_t maxUnits) {
    if (out == nullptr || capacity == 0) return;
    std::size_t n = 0;
    for (std::size_t i = 0; text != nullptr && i < maxUnits && text[i] != 0; ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < maxUnits && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (c >= 0xD800 && c < 0xE000) {
            c = kReplacement;
        }
        char encoded[4];
        std::size_t length = 0;
        if (c < 0x80) {
            encoded[length++] = static_cast<char>(c);
        } else if (c < 0x800) {
            encoded[length++] = static_cast<char>(0xC0 | (c >> 6));
            encoded[length++] = static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            encoded[length++] = static_cast<char>(0xE0 | (c >> 12));
            encoded[length++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            encoded[length++] = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            encoded[length++] = static_cast<char>(0xF0 | (c >> 18));
            encoded[length++] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            encoded[length++] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            encoded[length++] = static_cast<char>(0x80 | (c & 0x3F));
        }
        if (n + length >= capacity) break;
        for (std::size_t k = 0; k < length; ++k) out[n++] = encoded[k];
    }
    out[n] = '\0';
}

}  // namespace vst3
