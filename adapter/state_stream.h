// A host's state stream read whole into a StateChunk, and a chunk written whole to one. Hosts'
// streams move fewer bytes than asked now and then (VST 3's IBStream, CLAP's streams), so both
// go on until the stream ends or everything is written; the read stops at a size cap, so that a
// foreign stream that never ends cannot take all the memory there is.
// Threads: the caller's (a host's main thread); the plug-in is not touched, nor its lock.
#pragma once

#include <cstdint>

#include "plugin/state_chunk.h"

// Far more than any state of ours, far less than memory.
constexpr std::int32_t kMaxStateStreamBytes = 1 << 20;

// read(buffer, capacity) fills up to capacity bytes and returns how many it filled: 0 at the end
// of the stream, a negative number for an error. Returns true with the whole stream in chunk, or
// false (the chunk then holds what was read) for an error, a stream longer than maxBytes, a read
// answering more than it was asked for, or memory running short.
template <typename Read>
bool ReadStateStream(Read read, StateChunk& chunk, std::int32_t maxBytes = kMaxStateStreamBytes) {
    chunk.Clear();
    std::uint8_t piece[4096];
    for (;;) {
        // One byte more than may still come, to see a stream that goes on past the cap.
        const std::int64_t room = static_cast<std::int64_t>(maxBytes) - chunk.Size() + 1;
        const std::int64_t ask = room < std::int64_t{sizeof(piece)} ? room : sizeof(piece);
        const std::int64_t got = read(piece, ask);
        if (got == 0) return true;
        if (got < 0 || got > ask || chunk.Size() + got > maxBytes) return false;
        if (!chunk.PutBytes(piece, static_cast<std::int32_t>(got))) return false;
    }
}

// write(bytes, size) takes up to size bytes and returns how many it took, negative for an error.
// Returns true once every byte of chunk is taken; false for an error or a write that takes
// nothing (a stream that is full).
template <typename Write>
bool WriteStateStream(Write write, const StateChunk& chunk) {
    for (std::int32_t done = 0; done < chunk.Size();) {
        const std::int64_t left = chunk.Size() - done;
        const std::int64_t took = write(chunk.Data() + done, left);
        if (took <= 0 || took > left) return false;
        done += static_cast<std::int32_t>(took);
    }
    return true;
}
