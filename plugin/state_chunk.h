// A byte stream of little-endian items (int32, double, string, byte, raw bytes) on a HeapBuffer:
// the format of program and bank chunks and of the presets' saved states. Writes append at the
// end and report allocation failure; reads take a position and return the position after the
// item, or -1 when the item does not fit inside the used size. Position arithmetic is done in
// 64 bits, so no length read from a chunk can wrap.
#pragma once

#include <cstdint>

#include "plugin/heap_buffer.h"

class StateChunk {
public:
    static constexpr std::int32_t kChunkMagic = 0x70666674;
    static constexpr std::int32_t kStateChunkVersion = 0x00010000;

    StateChunk() : buffer_(4096) {}

    const std::uint8_t* Data() const { return buffer_.Data(); }
    std::int32_t Size() const { return buffer_.Size(); }
    // Empties the chunk but keeps its storage, so writing the same state again needs no memory
    // and cannot fail halfway (a preset's saved state is emptied and rewritten that way).
    void Clear() { buffer_.Resize(0, false); }
    // Replaces the contents with a copy of size bytes; false, unchanged, when memory is short.
    bool Assign(const void* bytes, std::int32_t size);

    bool PutInt32(std::int32_t v);
    bool PutDouble(double v);
    bool PutString(const char* text);
    bool PutByte(std::uint8_t v);
    bool PutBytes(const void* bytes, std::int32_t size);

    std::int32_t GetInt32(std::int32_t* v, std::int32_t pos) const;
    std::int32_t GetDouble(double* v, std::int32_t pos) const;
    std::int32_t GetByte(std::uint8_t* v, std::int32_t pos) const;

    // True when size bytes starting at pos lie inside the used size.
    bool Fits(std::int64_t pos, std::int64_t size) const {
        return pos >= 0 && size >= 0 && pos + size <= buffer_.Size();
    }

    // Empties the chunk and writes the magic and the version.
    bool WriteChunkHeader();
    // The version when a complete header starts at *pos (which moves past it); 0 with *pos = -1
    // when the magic is there but the version is cut off; 0 with *pos unchanged otherwise.
    std::int32_t ReadChunkHeader(std::int32_t* pos) const;

private:
    HeapBuffer buffer_;
};
