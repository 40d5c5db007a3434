// How ORV Q12 sounds and reacts, through the module. Identically driven twins give identical
// output, so a twin is the reference wherever the expected samples are not known in advance.
#include <cmath>
#include <limits>
#include <vector>

#include "tests/e2e/chunk_bytes.h"
#include "tests/e2e/render_helpers.h"

using namespace vst2;

TEST_F(ModuleTest, MonoModeFeedsChannelZeroToBothOutputsAndIgnoresInputOne) {
    host::HostedEffect a = CreateOpened();
    host::HostedEffect b = CreateOpened();
    const std::vector<double> left = Sine(2048, 330, 0.4);
    const Stereo withNoise = Render(a, left, Sine(2048, 5000, 0.9), 512);
    const Stereo withSilence = Render(b, left, std::vector<double>(2048, 0.0), 512);
    EXPECT_EQ(withNoise, withSilence);
    EXPECT_EQ(withNoise.left, withNoise.right);
}

TEST_F(ModuleTest, StereoModeProcessesTheChannelsSeparately) {
    host::HostedEffect fx = CreateOpened();
    fx.SetParameter(4, 1.0f);
    const Stereo out = Render(fx, Sine(2048, 330, 0.4), std::vector<double>(2048, 0.0), 512);
    EXPECT_GT(Magnitude(out.left, 330), 100 * Magnitude(out.right, 330));
}

TEST_F(ModuleTest, VolumeZeroIsExactSilence) {
    host::HostedEffect fx = CreateOpened();
    fx.SetParameter(3, 0.0f);
    fx.SetParameter(4, 1.0f);
    const Stereo out = Render(fx, Sine(4096, 440, 1.0), Sine(4096, 660, 1.0), 512);
    for (int i = 0; i < 4096; ++i) {
        ASSERT_EQ(out.left[i], 0.0) << i;
        ASSERT_EQ(out.right[i], 0.0) << i;
    }
}

TEST_F(ModuleTest, HarmonicsGrowWithDrive) {
    double previous = -1;
    for (float drive : {0.1f, 0.5f, 1.0f}) {
        host::HostedEffect fx = CreateOpened();
        fx.SetParameter(1, drive);
        const Stereo out = Render(fx, Sine(8820, 220, 0.5), Sine(8820, 220, 0.5), 441);
        const std::vector<double> tail(out.left.begin() + 4410, out.left.end());
        double harmonics = 0;
        for (int h = 2; h <= 9; ++h) harmonics += std::pow(Magnitude(tail, 220.0 * h), 2);
        const double distortion = std::sqrt(harmonics) / Magnitude(tail, 220);
        EXPECT_GT(distortion, previous) << "drive " << drive;
        previous = distortion;
    }
    EXPECT_GT(previous, 0.1) << "full drive clips hard";
}

TEST_F(ModuleTest, ResetWithAnUnchangedRateLeavesEveryStateAlone) {
    host::HostedEffect reset = CreateOpened();
    host::HostedEffect plain = CreateOpened();
    const std::vector<double> in = Sine(1024, 440, 0.5);
    EXPECT_EQ(Render(reset, in, in, 512), Render(plain, in, in, 512));
    reset.Dispatch(effMainsChanged, 0, 0);
    reset.Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    reset.Dispatch(effSetBlockSize, 0, 512);
    reset.Dispatch(effMainsChanged, 0, 1);
    EXPECT_EQ(Render(reset, in, in, 512), Render(plain, in, in, 512));
}

TEST_F(ModuleTest, SampleRateChangesReprepareAndBadRatesAreIgnored) {
    host::HostedEffect fx = CreateOpened();
    host::HostedEffect twin = CreateOpened();
    const std::vector<double> in = Sine(2048, 1000, 0.5, 48000);
    for (host::HostedEffect* e : {&fx, &twin})
        e->Dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    // Far below any host's rate: a subnormal rate overflowed the coefficients, 1 Hz gave
    // outputs a thousand times beyond the circuit's reach.
    for (float bad : {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(),
                      std::numeric_limits<float>::infinity(), 2e6f,
                      std::numeric_limits<float>::denorm_min(), 1.0f, 999.0f}) {
        fx.Dispatch(effSetSampleRate, 0, 0, nullptr, bad);
    }
    const Stereo out = Render(fx, in, in, 512);
    EXPECT_EQ(out, Render(twin, in, in, 512));

    host::HostedEffect at44 = CreateOpened();
    const Stereo other = Render(at44, in, in, 512);
    EXPECT_NE(out, other) << "the engines were prepared for the new rate";
    for (double v : out.left) ASSERT_TRUE(std::isfinite(v));
}

TEST_F(ModuleTest, QualitySwitchesTheOversamplingAndKeepsPlaying) {
    host::HostedEffect fx = CreateOpened();
    host::HostedEffect twin = CreateOpened();
    const std::vector<double> in = Sine(4096, 4567, 0.5);
    const Stereo high = Render(fx, in, in, 512);
    fx.SetParameter(5, 0.0f);
    const Stereo low = Render(fx, in, in, 512);
    fx.SetParameter(5, 1.0f);
    const Stereo highAgain = Render(fx, in, in, 512);
    EXPECT_NE(low, Render(twin, in, in, 512)) << "2x sounds different from 4x";
    for (const Stereo* s : {&high, &low, &highAgain}) {
        for (double v : s->left) ASSERT_TRUE(std::isfinite(v));
        EXPECT_GT(Magnitude(s->left, 4567), 0.01);
    }
}

// "Bypass" is the pedal's lasting state, whoever sets it: 1 passes the input through exactly,
// 0 runs the circuit. Program and bank chunks carry it into a new instance, and a chunk as the
// earlier pedal saved it (Bypass 0 whatever its latch was) loads processing.
TEST_F(ModuleTest, BypassIsThePedalsLastingState) {
    const std::vector<double> in = Sine(1024, 440, 0.5);
    auto passesThrough = [&](const host::HostedEffect& fx) {
        const Stereo out = Render(fx, in, in, 512);
        return out.left == in && out.right == in;
    };
    host::HostedEffect fx = CreateOpened();
    EXPECT_FALSE(passesThrough(fx));
    fx.SetParameter(6, 1.0f);
    EXPECT_TRUE(passesThrough(fx));
    fx.SetParameter(1, 0.9f);
    EXPECT_TRUE(passesThrough(fx)) << "another parameter leaves it";
    char zero[] = "0";
    EXPECT_EQ(fx.Dispatch(effString2Parameter, 6, 0, zero), 1);
    EXPECT_FALSE(passesThrough(fx));
    fx.SetParameter(6, 0.6f);
    EXPECT_EQ(fx.GetParameter(6), 1.0f);
    EXPECT_TRUE(passesThrough(fx));

    for (bool bank : {false, true}) {
        const Bytes saved = GetChunk(fx, bank);
        host::HostedEffect reopened = CreateOpened();
        EXPECT_EQ(SetChunk(reopened, bank, saved), 1);
        EXPECT_EQ(reopened.GetParameter(6), 1.0f);
        EXPECT_TRUE(passesThrough(reopened)) << (bank ? "bank" : "program");
    }
    EXPECT_EQ(SetChunk(fx, false, ProgramChunk({1.0, 9.0, 5.0, 5.0, 0.0, 1.0, 0.0})), 1);
    EXPECT_FALSE(passesThrough(fx));
}

TEST_F(ModuleTest, BlocksBeyondTheBufferLimitEqualSmallerBlocks) {
    host::HostedEffect whole = CreateOpened();
    host::HostedEffect pieces = CreateOpened();
    whole.Dispatch(effSetBlockSize, 0, 10000);
    pieces.Dispatch(effSetBlockSize, 0, 10000);
    const std::vector<double> left = Sine(10000, 110, 0.6), right = Sine(10000, 165, 0.3);
    EXPECT_EQ(Render(whole, left, right, 10000), Render(pieces, left, right, 1000));

    std::vector<float> fl(left.begin(), left.end()), fr(right.begin(), right.end());
    std::vector<float> o0(10000), o1(10000), p0(10000), p1(10000);
    float* in[] = {fl.data(), fr.data()};
    float* outWhole[] = {o0.data(), o1.data()};
    whole.ProcessReplacing(in, outWhole, 10000);
    for (int at = 0; at < 10000; at += 2500) {
        float* inPiece[] = {fl.data() + at, fr.data() + at};
        float* outPiece[] = {p0.data() + at, p1.data() + at};
        pieces.ProcessReplacing(inPiece, outPiece, 2500);
    }
    EXPECT_EQ(o0, p0);
    EXPECT_EQ(o1, p1);
}

TEST_F(ModuleTest, NonFiniteInputCountsAsSilenceAndLeavesNoTrace) {
    host::HostedEffect fx = CreateOpened();
    host::HostedEffect twin = CreateOpened();
    fx.SetParameter(4, 1.0f);
    twin.SetParameter(4, 1.0f);
    std::vector<double> dirty = Sine(1024, 440, 0.5), clean = dirty;
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity()};
    for (int i = 0; i < 3; ++i) {
        dirty[100 + 200 * i] = bad[i];
        clean[100 + 200 * i] = 0.0;
    }
    EXPECT_EQ(Render(fx, dirty, dirty, 512), Render(twin, clean, clean, 512));
    const std::vector<double> next = Sine(1024, 440, 0.5);
    EXPECT_EQ(Render(fx, next, next, 512), Render(twin, next, next, 512));
}
