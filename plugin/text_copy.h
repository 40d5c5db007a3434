// Copies text into a caller's fixed-size buffer, cutting it so that it always ends with NUL
// inside the buffer. Hosts reserve small buffers (8 bytes for parameter texts); nothing is
// ever written past capacity.
#pragma once

#include <cstddef>
#include <cstring>

inline void CopyText(char* destination, std::size_t capacity, const char* text) {
    if (destination == nullptr || capacity == 0) return;
    if (text == nullptr) text = "";
    std::size_t length = std::strlen(text);
    if (length >= capacity) length = capacity - 1;
    std::memmove(destination, text, length);
    destination[length] = '\0';
}
