#include "plugin/text_buffer.h"

#include <cstring>

bool TextBuffer::Set(const char* text) {
    if (text == nullptr) text = "";
    const std::size_t length = std::strlen(text);
    if (length >= 0x7FFFFFFF) return false;
    if (!buffer_.Resize(static_cast<std::int32_t>(length + 1))) return false;
    std::memcpy(buffer_.Data(), text, length + 1);
    return true;
}

const char* TextBuffer::Get() const {
    return buffer_.Size() > 0 ? reinterpret_cast<const char*>(buffer_.Data()) : "";
}
