#include "plugin/state_chunk.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<std::uint8_t> Bytes(const StateChunk& chunk) {
    return std::vector<std::uint8_t>(chunk.Data(), chunk.Data() + chunk.Size());
}

}  // namespace

TEST(StateChunkTest, ItemsAreLittleEndianAndReadBackInOrder) {
    StateChunk chunk;
    ASSERT_TRUE(chunk.PutInt32(-2));
    ASSERT_TRUE(chunk.PutDouble(1.0));
    ASSERT_TRUE(chunk.PutString("ab"));
    ASSERT_TRUE(chunk.PutByte(7));
    const std::vector<std::uint8_t> expected = {0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0,   0,   0, 0,
                                                0xF0, 0x3F, 2,    0,    0, 0, 'a', 'b', 7};
    EXPECT_EQ(Bytes(chunk), expected);

    std::int32_t i = 0;
    double d = 0;
    std::uint8_t b = 0;
    std::int32_t pos = chunk.GetInt32(&i, 0);
    EXPECT_EQ(i, -2);
    pos = chunk.GetDouble(&d, pos);
    EXPECT_EQ(d, 1.0);
    EXPECT_EQ(chunk.GetByte(&b, 18), 19);
    EXPECT_EQ(b, 7);
    EXPECT_EQ(pos, 12);
}

TEST(StateChunkTest, ReadsThatDoNotFitReturnMinusOne) {
    StateChunk chunk;
    chunk.PutInt32(1);
    double d = 0;
    std::int32_t i = 0;
    EXPECT_EQ(chunk.GetDouble(&d, 0), -1);
    EXPECT_EQ(chunk.GetInt32(&i, 1), -1);
    EXPECT_EQ(chunk.GetInt32(&i, -1), -1);
    EXPECT_EQ(chunk.GetInt32(&i, 0x7FFFFFFF), -1) << "no wrap past the end";
    EXPECT_EQ(chunk.GetInt32(&i, 0), 4);
}

TEST(StateChunkTest, HeaderIsMagicThenVersion) {
    StateChunk chunk;
    chunk.PutInt32(99);
    ASSERT_TRUE(chunk.WriteChunkHeader());
    const std::vector<std::uint8_t> header = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
    EXPECT_EQ(Bytes(chunk), header);

    std::int32_t pos = 0;
    EXPECT_EQ(chunk.ReadChunkHeader(&pos), 0x00010000);
    EXPECT_EQ(pos, 8);

    StateChunk cut;
    cut.Assign(header.data(), 6);
    pos = 0;
    EXPECT_EQ(cut.ReadChunkHeader(&pos), 0);
    EXPECT_EQ(pos, -1) << "magic present, version cut off";

    StateChunk other;
    other.PutDouble(1.0);
    pos = 0;
    EXPECT_EQ(other.ReadChunkHeader(&pos), 0);
    EXPECT_EQ(pos, 0) << "no header: read from the start";
}

TEST(StateChunkTest, AssigningItsOwnBytesKeepsThem) {
    StateChunk chunk;
    for (int i = 0; i < 1000; ++i) chunk.PutInt32(i);
    const std::vector<std::uint8_t> before = Bytes(chunk);
    ASSERT_TRUE(chunk.Assign(chunk.Data(), chunk.Size()));
    EXPECT_EQ(Bytes(chunk), before);
    ASSERT_TRUE(chunk.Assign(chunk.Data() + 4, 8));
    std::int32_t v = 0;
    chunk.GetInt32(&v, 4);
    EXPECT_EQ(v, 2);
    EXPECT_FALSE(chunk.Assign(nullptr, 4));
    EXPECT_FALSE(chunk.Assign(before.data(), -1));
}
