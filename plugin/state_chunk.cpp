#include "plugin/state_chunk.h"

#include <cstring>

namespace {

void StoreLittleEndian(std::uint8_t* out, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::uint64_t LoadLittleEndian(const std::uint8_t* in, int bytes) {
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= static_cast<std::uint64_t>(in[i]) << (8 * i);
    return v;
}

}  // namespace

bool StateChunk::Assign(const void* bytes, std::int32_t size) {
    if (size < 0 || (size > 0 && bytes == nullptr)) return false;
    // A host may hand back the very bytes it got from this chunk: copy them aside first, since
    // resizing could move or free them.
    StateChunk copy;
    if (!copy.PutBytes(bytes, size)) return false;
    buffer_.Swap(copy.buffer_);
    return true;
}

bool StateChunk::PutBytes(const void* bytes, std::int32_t size) {
    const std::int32_t at = buffer_.Size();
    if (size < 0 || static_cast<std::int64_t>(at) + size > 0x7FFFFFFF) return false;
    if (!buffer_.Resize(at + size, false)) return false;
    if (size > 0) std::memcpy(buffer_.Data() + at, bytes, static_cast<std::size_t>(size));
    return true;
}

bool StateChunk::PutInt32(std::int32_t v) {
    std::uint8_t bytes[4];
    StoreLittleEndian(bytes, static_cast<std::uint32_t>(v), 4);
    return PutBytes(bytes, 4);
}

bool StateChunk::PutDouble(double v) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof(bits));
    std::uint8_t bytes[8];
    StoreLittleEndian(bytes, bits, 8);
    return PutBytes(bytes, 8);
}

bool StateChunk::PutString(const char* text) {
    if (text == nullptr) text = "";
    const std::size_t length = std::strlen(text);
    if (length > 0x7FFFFFFF) return false;
    return PutInt32(static_cast<std::int32_t>(length)) &&
           PutBytes(text, static_cast<std::int32_t>(length));
}

bool StateChunk::PutByte(std::uint8_t v) { return PutBytes(&v, 1); }

std::int32_t StateChunk::GetInt32(std::int32_t* v, std::int32_t pos) const {
    if (!Fits(pos, 4)) return -1;
    *v = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(LoadLittleEndian(buffer_.Data() + pos, 4)));
    return pos + 4;
}

std::int32_t StateChunk::GetDouble(double* v, std::int32_t pos) const {
    if (!Fits(pos, 8)) return -1;
    const std::uint64_t bits = LoadLittleEndian(buffer_.Data() + pos, 8);
    std::memcpy(v, &bits, sizeof(bits));
    return pos + 8;
}

std::int32_t StateChunk::GetByte(std::uint8_t* v, std::int32_t pos) const {
    if (!Fits(pos, 1)) return -1;
    *v = buffer_.Data()[pos];
    return pos + 1;
}

bool StateChunk::WriteChunkHeader() {
    Clear();
    return PutInt32(kChunkMagic) && PutInt32(kStateChunkVersion);
}

std::int32_t StateChunk::ReadChunkHeader(std::int32_t* pos) const {
    std::int32_t magic = 0;
    if (GetInt32(&magic, *pos) < 0 || magic != kChunkMagic) return 0;
    std::int32_t version = 0;
    const std::int32_t next = GetInt32(&version, *pos + 4);
    if (next < 0) {
        *pos = -1;
        return 0;
    }
    *pos = next;
    return version;
}
