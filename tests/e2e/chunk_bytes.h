// State chunks as bytes, to and from a VST 2 effect through effGetChunk and effSetChunk.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "host/vst_host.h"
#include "tests/e2e/state_bytes.h"

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
