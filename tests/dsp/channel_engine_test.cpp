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

// The stereo path and every warm-up run two engines side by side. Each must come out exactly as
// it would alone, whatever the other does: other knobs, knobs moved between blocks, blocks of
// any length, and Newton iterations that end at different counts in the two lanes.
TEST(ChannelEngine, ProcessPairEqualsEachEngineAloneBitForBit) {
    auto first = Engine(0.9, 0.2, 0.8);
    auto second = Engine(0.3, 0.7, 0.4);
    ChannelEngine firstAlone = *first;
    ChannelEngine secondAlone = *second;
    const std::vector<double> loud = Sine(0.6, 220.0, kRate, 6000);
    const std::vector<double> soft = Sine(0.05, 3520.0, kRate, 6000);
    size_t at = 0;
    int step = 0;
    for (int n : {1, 17, 512, 1000, 2, 0, 2468}) {
        std::vector<double> a(loud.begin() + at, loud.begin() + at + n);
        std::vector<double> b(soft.begin() + at, soft.begin() + at + n);
        at += static_cast<size_t>(n);
        const std::vector<double> aAlone = Render(firstAlone, a);
        const std::vector<double> bAlone = Render(secondAlone, b);
        // Every other block the engines trade lanes.
        if (step % 2 == 0) {
            ChannelEngine::ProcessPair(*first, a.data(), *second, b.data(), n);
        } else {
            ChannelEngine::ProcessPair(*second, b.data(), *first, a.data(), n);
        }
        ASSERT_EQ(a, aAlone) << "block " << step;
        ASSERT_EQ(b, bAlone) << "block " << step;

        const double move = 0.1 * step;
        for (ChannelEngine* engine : {first.get(), &firstAlone}) {
            engine->SetControls(0.9 - move, 0.2 + move, 0.8);
            engine->ApplyChanges();
        }
        if (step % 3 == 0) {
            for (ChannelEngine* engine : {second.get(), &secondAlone}) {
                engine->SetControls(0.3, 0.7 - move, 0.4 + move);
                engine->ApplyChanges();
            }
        }
        ++step;
    }
    // The states went back to the right engines too.
    EXPECT_EQ(Render(*first, TestTone()), Render(firstAlone, TestTone()));
    EXPECT_EQ(Render(*second, TestTone()), Render(secondAlone, TestTone()));
}

// Anything that is not finite stays in the filter states for good, and a state left far beyond
// any signal (by 1e300, say) pins the circuit at its rails for seconds. RestoreRestState puts
// back the state kept after the warm-up and keeps the coefficients of the knobs as they are now:
// the engine then plays as one that rested there and has had its knobs moved since.
TEST(ChannelEngine, RestoringTheRestStateHealsAPoisonedEngine) {
    auto engine = Engine(0.5, 0.5, 1.0);
    Render(*engine, std::vector<double>(20000, 0.0));
    engine->KeepRestState();
    ChannelEngine rested = *engine;
    Render(*engine, TestTone());
    for (ChannelEngine* e : {engine.get(), &rested}) {
        e->SetControls(0.8, 0.3, 1.0);
        e->ApplyChanges();
    }
    ASSERT_TRUE(engine->IsHealthy());
    for (double poison : {std::nan(""), HUGE_VAL, 1e308, 1e300, 1e12}) {
        Render(*engine, {poison, -poison});
        EXPECT_FALSE(engine->IsHealthy()) << poison;
        engine->KeepRestState();  // refused: a poisoned state is never kept
        engine->RestoreRestState();
        ASSERT_TRUE(engine->IsHealthy());
        ChannelEngine expected = rested;
        EXPECT_EQ(Render(*engine, TestTone()), Render(expected, TestTone())) << poison;
    }
}

}  // namespace
