// A plug-in's program state as bytes, as every format saves it: the header (magic and version),
// then one little-endian double per parameter.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline void AppendDouble(Bytes& bytes, double v) {
    std::uint8_t raw[8];
    std::memcpy(raw, &v, 8);
    bytes.insert(bytes.end(), raw, raw + 8);
}

const Bytes kHeader = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};

// A program state with the header and one double per parameter.
inline Bytes ProgramChunk(const std::vector<double>& values) {
    Bytes bytes = kHeader;
    for (double v : values) AppendDouble(bytes, v);
    return bytes;
}

// The parameters' defaults: Input, Drive, Filter, Volume, Stereo, Quality, Bypass.
const std::vector<double> kDefaultValues = {1.0, 5.0, 5.0, 5.0, 0.0, 1.0, 0.0};
