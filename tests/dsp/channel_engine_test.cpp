#include "dsp/channel_engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "signal_helpers.h"

namespace {

constexpr double kRate = 88200.0;  // 2x oversampling of 44.1 kHz

std::unique_ptr<ChannelEngine> Engine(double drive, double filter, double volume) {
    auto engine = std::make_unique<ChannelEngine>();
    engine->SetControls(drive, filter, volume);
    engine->Prepare(kRate);
    engine->ApplyChanges();
    return engine;
}

std::vector<double> Render(ChannelEngine& engine, std::vector<double> signal) {
    for (double& sample : signal) {
        engine.ProcessSample(sample);
    }
    return signal;
}

// 220 Hz at 0.3 V: a guitar note driving the model well into clipping.
const std::vector<double>& TestTone() {
    static const std::vector<double> signal = Sine(0.3, 220.0, kRate, 20000);
    return signal;
}

TEST(ChannelEngine, SilenceDecaysTowardZero) {
    auto engine = Engine(0.5, 0.5, 1.0);
    // The shaper's -0.0537 V and the drive stage's offset are there at rest; the 16 Hz output
    // high-pass (time constant 10 ms) removes them.
    const std::vector<double> out =
        Render(*engine, std::vector<double>(static_cast<size_t>(2 * kRate), 0.0));
    EXPECT_GT(std::abs(out[10]), 1e-3);
    EXPECT_LT(std::abs(out.back()), 1e-9);
}

TEST(ChannelEngine, VolumeZeroGivesExactZeros) {
    auto engine = Engine(0.7, 0.3, 0.0);
    for (double sample : Render(*engine, TestTone())) {
        ASSERT_EQ(sample, 0.0);
    }
}

TEST(ChannelEngine, ControlsAboveOneActAsOne) {
    auto clamped = Engine(1.5, 2.0, 7.0);
    auto full = Engine(1.0, 1.0, 1.0);
    EXPECT_EQ(Render(*clamped, TestTone()), Render(*full, TestTone()));
}

// A coefficient recomputation with a value that moved by less than 1e-9 would change the output
// in its last bits; the engine must skip it.
TEST(ChannelEngine, RecomputesOnlyWhenAControlMovesBeyondOneBillionth) {
    auto reference = Engine(0.5, 0.5, 0.5);
    auto nudged = Engine(0.5, 0.5, 0.5);
    nudged->SetControls(0.5 + 1e-10, 0.5 + 1e-10, 0.5);  // tapered: moves by 3.4e-11
    nudged->ApplyChanges();
    EXPECT_EQ(Render(*nudged, TestTone()), Render(*reference, TestTone()));

    auto moved = Engine(0.5, 0.5, 0.5);
    moved->SetControls(0.5 + 1e-7, 0.5, 0.5);
    moved->ApplyChanges();
    EXPECT_NE(Render(*moved, TestTone()), Render(*Engine(0.5, 0.5, 0.5), TestTone()));
}

TEST(ChannelEngine, ControlChangesKeepEveryState) {
    auto continued = Engine(0.4, 0.6, 0.5);
    Render(*continued, TestTone());
    ChannelEngine changed = *continued;
    changed.SetControls(0.9, 0.1, 0.5);
    changed.ApplyChanges();
    changed.SetControls(0.4, 0.6, 0.5);
    changed.ApplyChanges();
    EXPECT_EQ(Render(changed, TestTone()), Render(*continued, TestTone()));
}

TEST(ChannelEngine, VolumeTakesEffectWithoutApplyChanges) {
    auto loud = Engine(0.5, 0.5, 1.0);
    auto quiet = Engine(0.5, 0.5, 1.0);
    quiet->SetControls(0.5, 0.5, 0.5);
    const std::vector<double> loudOut = Render(*loud, TestTone());
    const std::vector<double> quietOut = Render(*quiet, TestTone());
    // The audio taper puts half travel at 0.095.
    EXPECT_NEAR(quietOut[5000] / loudOut[5000], 0.095, 1e-9);
}

}  // namespace
