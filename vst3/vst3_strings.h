// Texts between this system's UTF-8 strings and VST 3's UTF-16 ones, always cut to the
// receiver's buffer with a terminator inside it (a String128 holds 127 units and its NUL).
#pragma once

#include <cstddef>

#include "vst3/vst3_abi.h"

namespace vst3 {

// UTF-8 text into capacity UTF-16 units; bytes that are no UTF-8 become U+FFFD.
void CopyToString16(char16* out, std::size_t capacity, const char* text);
// UTF-16 text (up to its NUL, at most maxUnits units) into capacity bytes of UTF-8; a character
// that does not fit whole is left out with everything after it.
void CopyFromString16(char* out, std::size_t capacity, const char16* text, std::size_t maxUnits);

}  // namespace vst3
