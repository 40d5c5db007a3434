// Audio through the module: routing, precision paths, host block sizes. Two instances driven
// identically produce identical output, so one serves as the reference for the other.
#include <cmath>
#include <vector>

#include "tests/e2e/module_fixture.h"

using namespace vst2;

namespace {

std::vector<float> Tone(int frames, double hz, double amplitude = 0.5) {
    std::vector<float> v(frames);
    for (int i = 0; i < frames; ++i) {
        v[i] = static_cast<float>(amplitude * std::sin(2 * kPi * hz * i / 44100.0));
    }
    return v;
}

// Runs float audio through one effect in blocks of the given size.
std::vector<float> RenderFloat(const host::HostedEffect& fx, const std::vector<float>& left,
                               const std::vector<float>& right, int block) {
    std::vector<float> out0(left.size()), out1(left.size());
    for (std::size_t at = 0; at < left.size(); at += block) {
        const int n = static_cast<int>(std::min<std::size_t>(block, left.size() - at));
        float* inputs[] = {const_cast<float*>(left.data()) + at,
                           const_cast<float*>(right.data()) + at};
        float* outputs[] = {out0.data() + at, out1.data() + at};
        fx.ProcessReplacing(inputs, outputs, n);
    }
    out0.insert(out0.end(), out1.begin(), out1.end());
    return out0;
}

}  // namespace

TEST_F(ModuleTest, AccumulatingAddsToTheHostsOutputAndReplacingOverwrites) {
    host::HostedEffect replacing = CreateOpened();
    host::HostedEffect accumulating = CreateOpened();
    const std::vector<float> in = Tone(256, 440);
    std::vector<float> r0(256, 9.0f), r1(256, 9.0f), a0(256, 1.0f), a1(256, 1.0f);
    float* inputs[] = {const_cast<float*>(in.data()), const_cast<float*>(in.data())};
    float* rOut[] = {r0.data(), r1.data()};
    float* aOut[] = {a0.data(), a1.data()};
    replacing.ProcessReplacing(inputs, rOut, 256);
    accumulating.Process(inputs, aOut, 256);
    double energy = 0;
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(a0[i], 1.0f + r0[i]) << i;
        ASSERT_EQ(a1[i], 1.0f + r1[i]) << i;
        energy += r0[i] * r0[i];
    }
    EXPECT_GT(energy, 0.0);
}

TEST_F(ModuleTest, SingleAndDoublePrecisionAgreeToFloatPrecision) {
    host::HostedEffect single = CreateOpened();
    host::HostedEffect twin = CreateOpened();
    const std::vector<float> left = Tone(1024, 220), right = Tone(1024, 330);
    const std::vector<float> expected = RenderFloat(single, left, right, 512);

    std::vector<double> dl(left.begin(), left.end()), dr(right.begin(), right.end());
    std::vector<double> o0(1024), o1(1024);
    for (int at = 0; at < 1024; at += 512) {
        double* inputs[] = {dl.data() + at, dr.data() + at};
        double* outputs[] = {o0.data() + at, o1.data() + at};
        twin.ProcessDoubleReplacing(inputs, outputs, 512);
    }
    double energy = 0;
    for (int i = 0; i < 1024; ++i) {
        energy += o0[i] * o0[i];
        ASSERT_EQ(static_cast<float>(o0[i]), expected[i]) << i;
        ASSERT_EQ(static_cast<float>(o1[i]), expected[1024 + i]) << i;
    }
    EXPECT_GT(energy, 1.0);
}

TEST_F(ModuleTest, InPlaceDoubleProcessingEqualsSeparateBuffers) {
    host::HostedEffect separate = CreateOpened();
    host::HostedEffect inPlace = CreateOpened();
    for (host::HostedEffect* fx : {&separate, &inPlace}) fx->SetParameter(4, 1.0f);
    std::vector<double> left(300), right(300);
    for (int i = 0; i < 300; ++i)
        left[i] = 0.4 * std::sin(i * 0.05), right[i] = 0.2 * std::cos(i * 0.03);
    std::vector<double> o0(300), o1(300);
    double* inputs[] = {left.data(), right.data()};
    double* outputs[] = {o0.data(), o1.data()};
    separate.ProcessDoubleReplacing(inputs, outputs, 300);
    double* shared[] = {left.data(), right.data()};
    inPlace.ProcessDoubleReplacing(shared, shared, 300);
    EXPECT_EQ(left, o0);
    EXPECT_EQ(right, o1);
}

TEST_F(ModuleTest, MonoInputArrangementLeavesTheSecondHostInputUnread) {
    host::HostedEffect fx = CreateOpened();
    fx.SetParameter(4, 1.0f);  // stereo processing: channel 1 runs from its own input
    VstSpeakerArrangement mono{};
    mono.type = kSpeakerArrMono;
    mono.numChannels = 1;
    EXPECT_EQ(fx.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr>(&mono)), 1);

    VstSpeakerArrangement* in = nullptr;
    VstSpeakerArrangement* out = nullptr;
    EXPECT_EQ(fx.Dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<intptr>(&in), &out), 1);
    ASSERT_NE(in, nullptr);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(in->type, kSpeakerArrStereo) << "the stored arrangement is not changed";
    EXPECT_EQ(in->numChannels, 2);
    EXPECT_EQ(out->numChannels, 2);

    std::vector<float> left = Tone(64, 1000), out0(64), out1(64);
    float* inputs[] = {left.data(), nullptr};  // a read of host input 1 would crash
    float* outputs[] = {out0.data(), out1.data()};
    fx.ProcessReplacing(inputs, outputs, 64);
    double dl[64] = {0.5};
    double d0[64], d1[64];
    double* dIn[] = {dl, nullptr};
    double* dOut[] = {d0, d1};
    fx.ProcessDoubleReplacing(dIn, dOut, 64);
    for (int i = 0; i < 64; ++i) {
        ASSERT_TRUE(std::isfinite(out1[i]));
        ASSERT_TRUE(std::isfinite(d1[i]));
    }
}

TEST_F(ModuleTest, HostBlocksLongerThanTheBlockSizeEqualShortBlocks) {
    host::HostedEffect whole = CreateOpened();
    host::HostedEffect pieces = CreateOpened();
    whole.Start(44100, 100);
    pieces.Start(44100, 100);
    const int frames = 1037;
    const std::vector<float> left = Tone(frames, 100), right = Tone(frames, 150);
    std::vector<float> out0(frames + 8, 9.0f), out1(frames + 8, 9.0f);
    float* inputs[] = {const_cast<float*>(left.data()), const_cast<float*>(right.data())};
    float* outputs[] = {out0.data(), out1.data()};
    whole.ProcessReplacing(inputs, outputs, frames);
    const std::vector<float> expected = RenderFloat(pieces, left, right, 100);
    EXPECT_EQ(std::vector<float>(out0.begin(), out0.begin() + frames),
              std::vector<float>(expected.begin(), expected.begin() + frames));
    EXPECT_EQ(out0[frames], 9.0f) << "nothing written past the host's frames";
    EXPECT_EQ(out1[frames], 9.0f);
}

TEST_F(ModuleTest, EmptyAndNegativeBlocksProcessNothing) {
    host::HostedEffect fx = CreateOpened();
    host::HostedEffect twin = CreateOpened();
    std::vector<float> in = Tone(8, 500), out0(8, 3.0f), out1(8, 3.0f);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {out0.data(), out1.data()};
    fx.ProcessReplacing(inputs, outputs, 0);
    fx.ProcessReplacing(inputs, outputs, -8);
    fx.Process(inputs, outputs, -1);
    EXPECT_EQ(out0, std::vector<float>(8, 3.0f));
    fx.ProcessReplacing(nullptr, outputs, 8);
    fx.ProcessDoubleReplacing(nullptr, nullptr, 8);
    EXPECT_EQ(out1, std::vector<float>(8, 3.0f));
    // No state moved either: the next block equals a fresh twin's first block.
    EXPECT_EQ(RenderFloat(fx, in, in, 8), RenderFloat(twin, in, in, 8));
}

TEST_F(ModuleTest, UnusableBlockSizesKeepTheLastGoodOne) {
    host::HostedEffect fx = CreateOpened();
    host::HostedEffect twin = CreateOpened();
    fx.Dispatch(effSetBlockSize, 0, 64);
    twin.Dispatch(effSetBlockSize, 0, 64);
    for (intptr bad : {intptr{0}, intptr{-5}, intptr{0x7FFFFFFF}, intptr{0x100000040}}) {
        fx.Dispatch(effSetBlockSize, 0, bad);
    }
    const std::vector<float> in = Tone(300, 700);
    EXPECT_EQ(RenderFloat(fx, in, in, 300), RenderFloat(twin, in, in, 64));
}

TEST_F(ModuleTest, InstancesAreIndependent) {
    host::HostedEffect a = CreateOpened();
    host::HostedEffect b = CreateOpened("main");
    a.SetParameter(1, 1.0f);
    EXPECT_EQ(a.Text(effGetParamDisplay, 1), "10.000");
    EXPECT_EQ(b.Text(effGetParamDisplay, 1), "5.000");
    b.Start(96000, 32);
    a.Dispatch(effMainsChanged, 0, 0);
    EXPECT_EQ(b.Text(effGetParamDisplay, 1), "5.000");
}
