// Audio through the module: routing, precision paths, host block sizes.
#include <vector>

#include "tests/e2e/module_fixture.h"

using namespace vst2;

namespace {

std::vector<float> Ramp(int frames, float start) {
    std::vector<float> v(frames);
    for (int i = 0; i < frames; ++i) v[i] = start + 0.001f * i;
    return v;
}

}  // namespace

TEST_F(ModuleTest, AccumulatingAddsAndReplacingOverwrites) {
    host::HostedEffect fx = Create();
    std::vector<float> in(64, 0.25f), out0(64, 1.0f), out1(64, 1.0f);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {out0.data(), out1.data()};
    fx.Process(inputs, outputs, 64);
    EXPECT_EQ(out0, std::vector<float>(64, 1.25f));
    fx.ProcessReplacing(inputs, outputs, 64);
    EXPECT_EQ(out1, std::vector<float>(64, 0.25f));
}

TEST_F(ModuleTest, DoublePrecisionPassesThroughAndWorksInPlace) {
    host::HostedEffect fx = Create();
    std::vector<double> left(100), right(100), outLeft(100), outRight(100);
    for (int i = 0; i < 100; ++i) left[i] = i * 1e-3, right[i] = -i * 1e-3;
    double* inputs[] = {left.data(), right.data()};
    double* outputs[] = {outLeft.data(), outRight.data()};
    fx.ProcessDoubleReplacing(inputs, outputs, 100);
    EXPECT_EQ(outLeft, left);
    EXPECT_EQ(outRight, right);

    std::vector<double> shared = left;
    double* inPlace[] = {shared.data(), shared.data()};
    fx.ProcessDoubleReplacing(inPlace, inPlace, 100);
    EXPECT_EQ(shared, left);
}

TEST_F(ModuleTest, MonoInputArrangementLeavesTheSecondHostInputUnread) {
    host::HostedEffect fx = Create();
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

    std::vector<float> left = Ramp(32, 0.1f), out0(32), out1(32, 7.0f);
    float* inputs[] = {left.data(), nullptr};  // a read of host input 1 would crash
    float* outputs[] = {out0.data(), out1.data()};
    fx.ProcessReplacing(inputs, outputs, 32);
    EXPECT_EQ(out0, left);
    EXPECT_EQ(out1, std::vector<float>(32, 0.0f)) << "channel 1 sees its silent scratch buffer";

    double dl[32] = {0.5};
    double d0[32], d1[32];
    double* dIn[] = {dl, nullptr};
    double* dOut[] = {d0, d1};
    fx.ProcessDoubleReplacing(dIn, dOut, 32);
    EXPECT_EQ(d0[0], 0.5);
    EXPECT_EQ(d1[0], 0.0);
}

TEST_F(ModuleTest, HostBlocksLongerThanTheBlockSizeArriveWhole) {
    host::HostedEffect fx = Create();
    fx.Start(44100, 100);
    const int frames = 1037;
    std::vector<float> left = Ramp(frames, 0.0f), right = Ramp(frames, -1.0f);
    std::vector<float> out0(frames + 8, 9.0f), out1(frames + 8, 9.0f);
    float* inputs[] = {left.data(), right.data()};
    float* outputs[] = {out0.data(), out1.data()};
    fx.ProcessReplacing(inputs, outputs, frames);
    EXPECT_EQ(std::vector<float>(out0.begin(), out0.begin() + frames), left);
    EXPECT_EQ(std::vector<float>(out1.begin(), out1.begin() + frames), right);
    EXPECT_EQ(out0[frames], 9.0f) << "nothing written past the host's frames";

    std::vector<double> dl(frames, 0.75), d0(frames), d1(frames);
    double* dIn[] = {dl.data(), dl.data()};
    double* dOut[] = {d0.data(), d1.data()};
    fx.ProcessDoubleReplacing(dIn, dOut, frames);
    EXPECT_EQ(d1, dl);
}

TEST_F(ModuleTest, EmptyAndNegativeBlocksProcessNothing) {
    host::HostedEffect fx = Create();
    std::vector<float> in(8, 0.5f), out0(8, 3.0f), out1(8, 3.0f);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {out0.data(), out1.data()};
    fx.ProcessReplacing(inputs, outputs, 0);
    fx.ProcessReplacing(inputs, outputs, -8);
    fx.Process(inputs, outputs, -1);
    EXPECT_EQ(out0, std::vector<float>(8, 3.0f));
    fx.ProcessReplacing(nullptr, outputs, 8);
    fx.ProcessDoubleReplacing(nullptr, nullptr, 8);
    EXPECT_EQ(out1, std::vector<float>(8, 3.0f));
}

TEST_F(ModuleTest, UnusableBlockSizesKeepTheLastGoodOne) {
    host::HostedEffect fx = Create();
    fx.Dispatch(effSetBlockSize, 0, 64);
    for (intptr bad : {intptr{0}, intptr{-5}, intptr{0x7FFFFFFF}, intptr{0x100000040}}) {
        fx.Dispatch(effSetBlockSize, 0, bad);
    }
    // Still 64-frame pieces: a long block comes out whole and correct.
    std::vector<float> in = Ramp(300, 0.2f), out0(300), out1(300);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {out0.data(), out1.data()};
    fx.ProcessReplacing(inputs, outputs, 300);
    EXPECT_EQ(out0, in);
}

TEST_F(ModuleTest, InstancesAreIndependent) {
    host::HostedEffect a = Create();
    host::HostedEffect b = Create("main");
    a.SetParameter(1, 1.0f);
    EXPECT_EQ(a.Text(effGetParamDisplay, 1), "10.000");
    EXPECT_EQ(b.Text(effGetParamDisplay, 1), "5.000");
    b.Start(96000, 32);
    a.Dispatch(effMainsChanged, 0, 0);
    EXPECT_EQ(b.Text(effGetParamDisplay, 1), "5.000");
}
