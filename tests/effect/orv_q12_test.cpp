#include "effect/orv_q12.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

using namespace vst2;

namespace {

std::unique_ptr<ORV_Q12> Make() { return std::make_unique<ORV_Q12>(nullptr); }

intptr Dispatch(ORV_Q12& fx, int32 opcode, int32 index = 0, intptr value = 0, float opt = 0) {
    return fx.Effect()->dispatcher(fx.Effect(), opcode, index, value, nullptr, opt);
}

}  // namespace

TEST(OrvQ12Test, ConstructedAtTwoTimesUntilOpenReportsQuality) {
    auto fx = Make();
    EXPECT_EQ(fx->OversampleFactor(), 2) << "constructed at 2x although Quality defaults to 1";
    EXPECT_EQ(fx->Param(ORV_Q12::kQuality)->value, 1);
    Dispatch(*fx, effOpen);
    EXPECT_EQ(fx->OversampleFactor(), 4);
    fx->Effect()->setParameter(fx->Effect(), ORV_Q12::kQuality, 0.0f);
    EXPECT_EQ(fx->OversampleFactor(), 2);
    fx->Effect()->setParameter(fx->Effect(), ORV_Q12::kQuality, 1.0f);
    EXPECT_EQ(fx->OversampleFactor(), 4);
}

TEST(OrvQ12Test, EditorFlagAndPresetZeroNamedForTheMaker) {
    auto fx = Make();
    EXPECT_EQ(fx->Effect()->flags, 0x1019);
    EXPECT_STREQ(fx->PresetName(0), ORV_Q12::kWebAddress);
    EXPECT_LT(std::strlen(ORV_Q12::kWebAddress), std::size_t{kVstMaxProgNameLen});
}

TEST(OrvQ12Test, AStateWithNaNSwitchesLeavesThemOff) {
    auto fx = Make();
    Dispatch(*fx, effOpen);
    fx->Param(ORV_Q12::kQuality)->value = std::numeric_limits<double>::quiet_NaN();
    fx->ParamChanged(ORV_Q12::kQuality);
    EXPECT_EQ(fx->OversampleFactor(), 2);
}

// After every preparation both engines are fed silence for 0.3 s of the host rate, half as long
// again below 50000 samples: 19845 samples at 44.1 kHz, 21600 at 48 kHz, 43200 at 96 kHz and
// 57600 at 192 kHz. The mono path is rebuilt here from its parts (input gain, 2x up-sampling,
// engine, down-sampling, Volume) with an engine warmed by exactly that count; one sample more
// or less of warm-up leaves other states, and the output differs in its last bits.
TEST(OrvQ12Test, WarmUpRunsTheCountTheHostRateGives) {
    auto fx = Make();
    for (int index : {ORV_Q12::kInput, ORV_Q12::kDrive, ORV_Q12::kFilter, ORV_Q12::kVolume}) {
        fx->ParamChanged(index);  // Stereo and Quality stay as constructed: mono, 2x
    }
    ChannelEngine engine;
    Oversampler oversampler;
    oversampler.SetFactor(2);
    auto prepare = [&engine](double hostRate, int warmUp) {
        engine.Prepare(2 * hostRate);
        for (int i = 0; i < warmUp; ++i) {
            double silence = 0.0;
            engine.ProcessSample(silence);
        }
    };
    prepare(44100, 19845);  // at construction, with the knobs not yet reported
    engine.SetControls(0.5, 0.5, 0.5);
    engine.ApplyChanges();

    const struct {
        float rate;
        int warmUp;
    } steps[] = {{44100, 0}, {48000, 21600}, {96000, 43200}, {192000, 57600}, {44100, 19845}};
    for (const auto& step : steps) {
        if (step.warmUp > 0) {
            Dispatch(*fx, effSetSampleRate, 0, 0, step.rate);
            prepare(step.rate, step.warmUp);
        }
        double in[512], out0[512], out1[512];
        for (int i = 0; i < 512; ++i) in[i] = 0.3 * std::sin(0.05 * i);
        double* inputs[] = {in, in};
        double* outputs[] = {out0, out1};
        fx->ProcessBlock(inputs, outputs, 512);

        double wide[1024], expected[512];
        oversampler.Upsample(in, wide, 512);  // Input 1
        for (double& sample : wide) engine.ProcessSample(sample);
        oversampler.Downsample(wide, expected, 512);
        for (int i = 0; i < 512; ++i) {
            ASSERT_EQ(out0[i], expected[i] * 5.0) << step.rate << " Hz, sample " << i;  // Volume 5
            ASSERT_EQ(out1[i], out0[i]);
        }
    }
}
