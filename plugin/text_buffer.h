// A zero-terminated string on a HeapBuffer; an empty buffer reads as "".
#pragma once

#include "plugin/heap_buffer.h"

class TextBuffer {
public:
    TextBuffer() : buffer_(128) {}

    // Copies text (null reads as ""); false, with the old text kept, when memory is short.
    bool Set(const char* text);
    const char* Get() const;
    bool IsEmpty() const { return Get()[0] == '\0'; }

private:
    HeapBuffer buffer_;
};
