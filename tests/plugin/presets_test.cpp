#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "tests/plugin/fake_plugin.h"

namespace {

StateChunk ChunkOf(std::initializer_list<double> values) {
    StateChunk chunk;
    for (double v : values) chunk.PutDouble(v);
    return chunk;
}

}  // namespace

TEST(PresetsTest, UnserializeClampsAndPartialDataSetsTheFirstMissingFromZero) {
    FakePlugin plug;
    EXPECT_EQ(plug.UnserializeParams(ChunkOf({2.0, -1.0, 0.25}), 0), 24);
    EXPECT_EQ(plug.Param(0)->value, 1.0);
    EXPECT_EQ(plug.Param(1)->value, 0.0);
    EXPECT_EQ(plug.Param(2)->value, 0.25);
    EXPECT_EQ(plug.changed, (std::vector<int>{0, 1, 2}));

    plug.changed.clear();
    plug.Param(2)->value = 0.75;
    StateChunk shortChunk = ChunkOf({0.5});
    EXPECT_EQ(plug.UnserializeParams(shortChunk, 0), -1);
    EXPECT_EQ(plug.Param(0)->value, 0.5);
    EXPECT_EQ(plug.Param(1)->value, 0.0) << "the first uncovered one is set from 0.0";
    EXPECT_EQ(plug.Param(2)->value, 0.75) << "the ones after it are left alone";
    EXPECT_EQ(plug.changed.size(), 3u) << "every parameter hears of the load, also on failure";

    // A value that is not finite leaves its parameter alone; the rest of the load goes on.
    plug.changed.clear();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(plug.UnserializeParams(ChunkOf({NAN, inf, -inf}), 0), 24);
    EXPECT_EQ(plug.Param(0)->value, 0.5);
    EXPECT_EQ(plug.Param(1)->value, 0.0);
    EXPECT_EQ(plug.Param(2)->value, 0.75);
    EXPECT_EQ(plug.UnserializeParams(ChunkOf({0.125, NAN, 0.375}), 0), 24);
    EXPECT_EQ(plug.Param(0)->value, 0.125);
    EXPECT_EQ(plug.Param(1)->value, 0.0);
    EXPECT_EQ(plug.Param(2)->value, 0.375);
    EXPECT_EQ(plug.changed.size(), 6u);
}

TEST(PresetsTest, AddPresetFillsTheFirstEmptySlots) {
    FakePlugin plug(FakePlugin::Constants("1-1", 3, 3));
    plug.AddPreset("first", 1);
    plug.AddPreset(nullptr, 5);
    EXPECT_STREQ(plug.PresetName(0), "first");
    EXPECT_STREQ(plug.PresetName(1), "Empty");
    EXPECT_STREQ(plug.PresetName(2), "Empty");
    EXPECT_EQ(plug.PresetAt(2)->state.Size(), 24);
    EXPECT_STREQ(plug.PresetName(-1), "");
    EXPECT_STREQ(plug.PresetName(3), "");
}

TEST(PresetsTest, SelectingAnEmptySlotMakesANumberedUserPreset) {
    FakePlugin plug(FakePlugin::Constants("1-1", 3, 3));
    plug.Param(1)->value = 0.125;
    EXPECT_TRUE(plug.SelectPreset(1));
    EXPECT_STREQ(plug.PresetName(1), "user preset 1");
    EXPECT_EQ(plug.CurrentPreset(), 1);
    EXPECT_TRUE(plug.SelectPreset(2));
    EXPECT_STREQ(plug.PresetName(2), "user preset 2");
    EXPECT_FALSE(plug.SelectPreset(3));
    EXPECT_EQ(plug.CurrentPreset(), 2);

    plug.Param(1)->value = 0.9;
    plug.changed.clear();
    EXPECT_TRUE(plug.SelectPreset(1));
    EXPECT_EQ(plug.Param(1)->value, 0.125) << "an initialised preset restores its values";
    EXPECT_EQ(plug.changed.size(), 3u);
}

TEST(PresetsTest, ModifyCurrentPresetStoresValuesAndCutsLongNames) {
    FakePlugin plug;
    plug.AddPreset("p", 1);
    plug.Param(0)->value = 0.3;
    const std::string longName(400, 'n');
    plug.ModifyCurrentPreset(longName.c_str());
    EXPECT_EQ(std::string(plug.PresetName(0)), std::string(255, 'n'));
    plug.ModifyCurrentPreset("");
    EXPECT_EQ(std::string(plug.PresetName(0)).size(), 255u) << "an empty name keeps the old";
    plug.Param(0)->value = 0.9;
    plug.SelectPreset(0);
    EXPECT_EQ(plug.Param(0)->value, 0.3);
}

TEST(PresetsTest, BankRoundTripsAndAFlagOfZeroEmptiesThePreset) {
    FakePlugin source(FakePlugin::Constants("1-1", 2, 2));
    source.AddPreset("lead", 1);
    source.Param(0)->value = 0.2;
    source.AddPreset("rhythm", 1);
    StateChunk bank;
    ASSERT_TRUE(source.SerializePresets(bank));
    // 2 x (4 + name + 1 + 16)
    EXPECT_EQ(bank.Size(), 4 + 4 + 1 + 16 + 4 + 6 + 1 + 16);

    FakePlugin target(FakePlugin::Constants("1-1", 2, 2));
    EXPECT_EQ(target.UnserializePresets(bank, 0), bank.Size());
    EXPECT_STREQ(target.PresetName(0), "lead");
    EXPECT_STREQ(target.PresetName(1), "rhythm");
    EXPECT_EQ(target.Param(0)->value, 0.5) << "preset 0 is selected again after the load";
    target.SelectPreset(1);
    EXPECT_EQ(target.Param(0)->value, 0.2);

    StateChunk cleared;
    cleared.PutString("gone");
    cleared.PutByte(0);
    FakePlugin one;
    one.AddPreset("kept", 1);
    EXPECT_EQ(one.UnserializePresets(cleared, 0), 9);
    EXPECT_TRUE(one.PresetAt(0)->initialised) << "reselected as a new user preset";
    EXPECT_STREQ(one.PresetName(0), "user preset 1");
}

TEST(PresetsTest, BankNamesThatCannotBeReadRepeatThePreviousName) {
    FakePlugin plug(FakePlugin::Constants("1-1", 1, 2));
    StateChunk bank;
    bank.PutString("first");
    bank.PutByte(0);
    bank.PutInt32(0);  // an empty name
    bank.PutByte(0);
    EXPECT_GE(plug.UnserializePresets(bank, 0), 0);
    EXPECT_STREQ(plug.PresetName(1), "first");
}

TEST(PresetsTest, HugeOrNegativeStringLengthsAreRejectedNotWrapped) {
    for (std::int32_t length : {0x7FFFFFFF, 0x7FFFFFF0, -4, -5, -0x7FFFFFFF}) {
        FakePlugin plug;
        plug.AddPreset("safe", 1);
        StateChunk bank;
        bank.PutInt32(length);
        bank.PutString("xxxxxxxxxxxxxxxxxxxxxxxxxxx");
        bank.PutByte(1);
        EXPECT_EQ(plug.UnserializePresets(bank, 0), -1) << length;
        EXPECT_STREQ(plug.PresetName(0), "") << length;
    }
}

TEST(PresetsTest, LongBankNamesAreCutTo255Characters) {
    FakePlugin plug;
    StateChunk bank;
    bank.PutString(std::string(1000, 'q').c_str());
    bank.PutByte(0);
    EXPECT_GE(plug.UnserializePresets(bank, 0), 0);
    // The flag of 0 turns the slot into a user preset; read the name before that happens.
    StateChunk flagged;
    flagged.PutString(std::string(1000, 'q').c_str());
    flagged.PutByte(1);
    for (int i = 0; i < 3; ++i) flagged.PutDouble(0.5);
    EXPECT_EQ(plug.UnserializePresets(flagged, 0), flagged.Size());
    EXPECT_EQ(std::string(plug.PresetName(0)), std::string(255, 'q'));
}
