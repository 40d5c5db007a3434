// Host streams read and written in pieces: hosts' streams move fewer bytes than asked, end when
// they end, fail, or never end at all.
#include "adapter/state_stream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

std::vector<std::uint8_t> Pattern(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return bytes;
}

// A stream of `bytes` that gives at most `piece` bytes a read.
struct PieceStream {
    const std::vector<std::uint8_t>& bytes;
    std::int64_t piece;
    std::size_t at = 0;

    std::int64_t operator()(void* buffer, std::int64_t capacity) {
        const std::int64_t n =
            std::min<std::int64_t>({capacity, piece, std::int64_t(bytes.size() - at)});
        if (n > 0) std::memcpy(buffer, bytes.data() + at, static_cast<std::size_t>(n));
        at += static_cast<std::size_t>(n);
        return n;
    }
};

}  // namespace

TEST(StateStreamTest, AStreamGivenInPiecesIsReadWhole) {
    const std::vector<std::uint8_t> bytes = Pattern(10000);
    for (std::int64_t piece : {1, 7, 4096, 100000}) {
        StateChunk chunk;
        ASSERT_TRUE(ReadStateStream(PieceStream{bytes, piece}, chunk)) << piece;
        EXPECT_EQ(std::vector<std::uint8_t>(chunk.Data(), chunk.Data() + chunk.Size()), bytes);
    }
    StateChunk empty;
    EXPECT_TRUE(ReadStateStream(PieceStream{{}, 16}, empty));
    EXPECT_EQ(empty.Size(), 0);
}

TEST(StateStreamTest, ErrorsEndlessStreamsAndOversizedAnswersFail) {
    StateChunk chunk;
    int reads = 0;
    auto failsOnTheThirdRead = [&](void*, std::int64_t capacity) -> std::int64_t {
        return ++reads < 3 ? capacity : -1;
    };
    EXPECT_FALSE(ReadStateStream(failsOnTheThirdRead, chunk));

    std::int64_t asked = 0;
    auto endless = [&](void* buffer, std::int64_t capacity) {
        std::memset(buffer, 0x5A, static_cast<std::size_t>(capacity));
        asked += capacity;
        return capacity;
    };
    EXPECT_FALSE(ReadStateStream(endless, chunk, 100000));
    EXPECT_LE(asked, 100001) << "read no further than one byte past the cap";
    EXPECT_LE(chunk.Size(), 100000);

    const std::vector<std::uint8_t> exact = Pattern(100000);
    EXPECT_TRUE(ReadStateStream(PieceStream{exact, 999}, chunk, 100000)) << "exactly the cap";

    auto liar = [](void*, std::int64_t capacity) { return capacity + 1; };
    EXPECT_FALSE(ReadStateStream(liar, chunk));
}

TEST(StateStreamTest, AChunkIsWrittenWholeThroughPartialWrites) {
    StateChunk chunk;
    const std::vector<std::uint8_t> bytes = Pattern(9000);
    chunk.PutBytes(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    std::vector<std::uint8_t> written;
    auto threeAtATime = [&](const void* data, std::int64_t size) {
        const std::int64_t n = std::min<std::int64_t>(size, 3);
        const auto* p = static_cast<const std::uint8_t*>(data);
        written.insert(written.end(), p, p + n);
        return n;
    };
    EXPECT_TRUE(WriteStateStream(threeAtATime, chunk));
    EXPECT_EQ(written, bytes);

    auto full = [](const void*, std::int64_t) -> std::int64_t { return 0; };
    auto broken = [](const void*, std::int64_t) -> std::int64_t { return -1; };
    EXPECT_FALSE(WriteStateStream(full, chunk));
    EXPECT_FALSE(WriteStateStream(broken, chunk));
}
