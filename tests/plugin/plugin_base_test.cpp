#include "plugin/plugin_base.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/plugin/fake_plugin.h"

TEST(PluginBaseTest, FreshObjectDefaults) {
    FakePlugin plug;
    EXPECT_EQ(plug.SampleRate(), 44100);
    EXPECT_EQ(plug.BlockSize(), 0);
    EXPECT_EQ(plug.HostCode(), -1);
    EXPECT_EQ(plug.PluginApiCode(), 0);
    EXPECT_EQ(plug.CurrentPreset(), 0);
    EXPECT_EQ(plug.PresetCount(), 1);
    EXPECT_STREQ(plug.PresetName(0), "empty");
    EXPECT_EQ(plug.AttachedEditor(), nullptr);
}

TEST(PluginBaseTest, ChannelConfigurationsAreParsedIntoChannelRecords) {
    FakePlugin plug;
    EXPECT_EQ(plug.NInputs(), 2);
    EXPECT_EQ(plug.NOutputs(), 2);
    EXPECT_TRUE(plug.LegalIO(1, -1));
    EXPECT_TRUE(plug.LegalIO(2, 2));
    EXPECT_TRUE(plug.LegalIO(-1, 1));
    EXPECT_FALSE(plug.LegalIO(3, -1));
    EXPECT_FALSE(plug.LegalIO(1, 2));
    for (int i = 0; i < 2; ++i) {
        EXPECT_FALSE(plug.Input(i)->connected);
        EXPECT_EQ(plug.Input(i)->slot, plug.InputSlots() + i);
        EXPECT_EQ(plug.Output(i)->slot, plug.OutputSlots() + i);
    }

    FakePlugin wide(FakePlugin::Constants("2-4 6-1"));
    EXPECT_EQ(wide.NInputs(), 6);
    EXPECT_EQ(wide.NOutputs(), 4);
    EXPECT_TRUE(wide.LegalIO(6, 1));
    EXPECT_FALSE(wide.LegalIO(2, 1));

    // A token that scans only partly leaves the unscanned count 0.
    FakePlugin partial(FakePlugin::Constants("3 x-2"));
    EXPECT_TRUE(partial.LegalIO(3, 0));
    EXPECT_TRUE(partial.LegalIO(0, 0));
    EXPECT_EQ(partial.NInputs(), 3);
    EXPECT_EQ(partial.NOutputs(), 0);
}

TEST(PluginBaseTest, SetBlockSizeClearsScratchOnlyWhenTheSizeChanges) {
    FakePlugin plug;
    ASSERT_TRUE(plug.SetBlockSize(64));
    EXPECT_EQ(plug.BlockSize(), 64);
    plug.Input(1)->Scratch()[63] = 0.5;
    plug.Output(0)->Scratch()[0] = 0.25;
    ASSERT_TRUE(plug.SetBlockSize(64));
    EXPECT_EQ(plug.Input(1)->Scratch()[63], 0.5);
    ASSERT_TRUE(plug.SetBlockSize(128));
    for (int i = 0; i < 128; ++i) {
        ASSERT_EQ(plug.Input(1)->Scratch()[i], 0.0);
        ASSERT_EQ(plug.Output(0)->Scratch()[i], 0.0);
    }
}

TEST(PluginBaseTest, SetBlockSizeRejectsSizesItCannotHoldAndKeepsTheOldOnes) {
    FakePlugin plug;
    ASSERT_TRUE(plug.SetBlockSize(32));
    plug.Input(0)->Scratch()[5] = 1.5;
    for (int frames : {0, -1, 0x7FFFFFFF / 8 + 1, 0x7FFFFFFF}) {
        EXPECT_FALSE(plug.SetBlockSize(frames)) << frames;
        EXPECT_EQ(plug.BlockSize(), 32);
        EXPECT_EQ(plug.Input(0)->scratch.Size(), 32 * 8);
        EXPECT_EQ(plug.Input(0)->Scratch()[5], 1.5);
    }
}

TEST(PluginBaseTest, DefaultProcessBlockCopiesInputsAndSilencesTheRest) {
    FakePlugin mono(FakePlugin::Constants("1-2"));
    std::vector<double> in = {1, 2, 3}, out0(3, 9), out1(3, 9);
    double* inputs[] = {in.data()};
    double* outputs[] = {out0.data(), out1.data()};
    mono.ProcessBlock(inputs, outputs, 3);
    EXPECT_EQ(out0, in);
    EXPECT_EQ(out1, std::vector<double>(3, 0.0));

    FakePlugin stereo;
    std::vector<double> left = {1, 2}, right = {3, 4}, outLeft(2), outRight(2);
    double* stereoIn[] = {left.data(), right.data()};
    double* stereoOut[] = {outLeft.data(), outRight.data()};
    stereo.ProcessBlock(stereoIn, stereoOut, 2);
    EXPECT_EQ(outLeft, left);
    EXPECT_EQ(outRight, right);
}

TEST(PluginBaseTest, EditorChangeOnASteppedParameterSnapsButReportsTheRawValue) {
    FakePlugin plug;
    plug.Param(1)->type = ParamType::Stepped;
    plug.Param(1)->InitParam("Switch", 0, 0, 1, 1, "", 1);
    plug.SetParameterFromEditor(1, 0.7);
    EXPECT_EQ(plug.Param(1)->value, 1);
    ASSERT_EQ(plug.automated.size(), 1u);
    EXPECT_EQ(plug.automated[0].index, 1);
    EXPECT_EQ(plug.automated[0].value, 0.7);
    EXPECT_EQ(plug.changed, std::vector<int>{1});
}

TEST(PluginBaseTest, StateEqualsComparesAsSinglePrecision) {
    FakePlugin plug;
    const double same[] = {9, 0.5, 0.5 + 1e-9, 0.5};
    EXPECT_TRUE(plug.StateEquals(same, 1));
    const double other[] = {0.5, 0.5, 0.51};
    EXPECT_FALSE(plug.StateEquals(other, 0));
}
