#include <gtest/gtest.h>

#include <vector>

#include "vst/vst_plugin.h"

using namespace vst2;

namespace {

const PluginConstants kConstants = {1, "1-1 2-2", 1, "Test", "", "Maker", 1, 2, 0x00010000};

// Records what the effect is handed for each block.
class ProbePlugin : public VstPlugin {
public:
    ProbePlugin() : VstPlugin(nullptr, kConstants) {}

    void ProcessBlock(double** inputs, double** outputs, int frames) override {
        blocks.push_back({inputs[0], inputs[1], outputs[0], outputs[1], frames});
        PluginBase::ProcessBlock(inputs, outputs, frames);
    }

    struct Block {
        double* in0;
        double* in1;
        double* out0;
        double* out1;
        int frames;
    };
    std::vector<Block> blocks;
};

}  // namespace

TEST(VstAudioTest, DoublePathHandsTheHostsBuffersToTheEffect) {
    ProbePlugin plug;
    std::vector<double> a(256), b(256), c(256), d(256);
    double* inputs[] = {a.data(), b.data()};
    double* outputs[] = {c.data(), d.data()};
    plug.Effect()->processDoubleReplacing(plug.Effect(), inputs, outputs, 256);
    ASSERT_EQ(plug.blocks.size(), 1u);
    EXPECT_EQ(plug.blocks[0].in0, a.data());
    EXPECT_EQ(plug.blocks[0].in1, b.data());
    EXPECT_EQ(plug.blocks[0].out0, c.data());
    EXPECT_EQ(plug.blocks[0].out1, d.data());
}

TEST(VstAudioTest, LongBlocksAreSplitIntoBlockSizedPiecesOnBothPaths) {
    ProbePlugin plug;
    plug.SetBlockSize(100);
    std::vector<double> a(250), b(250);
    double* dIn[] = {a.data(), a.data()};
    double* dOut[] = {b.data(), b.data()};
    plug.Effect()->processDoubleReplacing(plug.Effect(), dIn, dOut, 250);
    ASSERT_EQ(plug.blocks.size(), 3u);
    EXPECT_EQ(plug.blocks[1].in0, a.data() + 100);
    EXPECT_EQ(plug.blocks[2].out1, b.data() + 200);
    EXPECT_EQ(plug.blocks[2].frames, 50);

    plug.blocks.clear();
    std::vector<float> f(250), g(250);
    float* fIn[] = {f.data(), f.data()};
    float* fOut[] = {g.data(), g.data()};
    plug.Effect()->processReplacing(plug.Effect(), fIn, fOut, 250);
    ASSERT_EQ(plug.blocks.size(), 3u);
    EXPECT_EQ(plug.blocks[0].in0, plug.Input(0)->Scratch()) << "floats are converted in scratch";
    EXPECT_EQ(plug.blocks[0].frames, 100);
}

TEST(VstAudioTest, DisconnectedChannelsUseTheirScratchBuffers) {
    ProbePlugin plug;
    VstSpeakerArrangement mono{};
    mono.numChannels = 1;
    plug.Effect()->dispatcher(plug.Effect(), effSetSpeakerArrangement, 0,
                              reinterpret_cast<intptr>(&mono), &mono, 0);
    std::vector<double> a(16), c(16);
    double* inputs[] = {a.data(), nullptr};
    double* outputs[] = {c.data(), nullptr};
    plug.Effect()->processDoubleReplacing(plug.Effect(), inputs, outputs, 16);
    ASSERT_EQ(plug.blocks.size(), 1u);
    EXPECT_EQ(plug.blocks[0].in1, plug.Input(1)->Scratch());
    EXPECT_EQ(plug.blocks[0].out1, plug.Output(1)->Scratch());

    // Growing the block size moves the scratch buffers; the slots follow.
    plug.SetBlockSize(8192);
    plug.Effect()->processDoubleReplacing(plug.Effect(), inputs, outputs, 16);
    EXPECT_EQ(plug.blocks[1].in1, plug.Input(1)->Scratch());
    EXPECT_EQ(plug.blocks[1].out1, plug.Output(1)->Scratch());
}
