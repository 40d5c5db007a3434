// State chunks as bytes, to and from an effect through effGetChunk and effSetChunk.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/e2e/module_fixture.h"

using Bytes = std::vector<std::uint8_t>;

inline Bytes GetChunk(const host::HostedEffect& fx, bool bank) {
    void* data = nullptr;
    const vst2::intptr size = fx.Dispatch(vst2::effGetChunk, bank ? 0 : 1, 0, &data);
    if (size <= 0 || data == nullptr) return {};
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return Bytes(bytes, bytes + size);
}

inline vst2::intptr SetChunk(const host::HostedEffect& fx, bool bank, const Bytes& bytes) {
    return fx.Dispatch(vst2::effSetChunk, bank ? 0 : 1, static_cast<vst2::intptr>(bytes.size()),
                       const_cast<std::uint8_t*>(bytes.data()));
}

inline void AppendDouble(Bytes& bytes, double v) {
    std::uint8_t raw[8];
    std::memcpy(raw, &v, 8);
    bytes.insert(bytes.end(), raw, raw + 8);
}

const Bytes kHeader = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};

// A program chunk with the header and one double per parameter.
inline Bytes ProgramChunk(const std::vector<double>& values) {
    Bytes bytes = kHeader;
    for (double v : values) AppendDouble(bytes, v);
    return bytes;
}
