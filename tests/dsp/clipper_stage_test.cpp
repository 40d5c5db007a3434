#include "dsp/clipper_stage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

#include "dsp/static_shaper.h"
#include "signal_helpers.h"

namespace {

using Complex = std::complex<double>;

constexpr double kRate = 88200.0;
constexpr double kSaturationAmps = 2.52e-9;
constexpr double kThermalVolts = 0.0475;  // n Vt

ClipperStage Stage(double filter) {
    ClipperStage stage;
    stage.SetCoefficients(kRate, filter);
    return stage;
}

// Small-signal gain out / vin of the network with the diodes as their conductance at 0 V,
// 2 Is / nVt. Backward Euler turns each capacitor into exactly 1 / (s C) with
// s = (1 - e^(-j omega T)) / T, so this is the discrete stage's own response.
Complex LinearGain(double filter, double hz) {
    const Complex s = (1.0 - std::polar(1.0, -2.0 * kPi * hz / kRate)) * kRate;
    const double rp = 100000.0 * filter + 1500.0;
    const Complex zC1 = 1.0 / (s * 4.7e-6);
    const Complex zC2 = 1.0 / (s * 3.3e-9);
    const Complex zC3 = 1.0 / (s * 2.2e-8);
    const double rl = 1e6;
    const Complex zN = 1.0 / (1.0 / zC2 + 1.0 / (zC3 + rl));
    const Complex zV = 1.0 / (2.0 * kSaturationAmps / kThermalVolts + 1.0 / (rp + zN));
    const Complex v = zV / (zC1 + 1000.0 + zV);
    const Complex n = v * zN / (rp + zN);
    return n * rl / (zC3 + rl);
}

TEST(ClipperStage, SmallSignalGainIsThatOfTheLinearNetwork) {
    for (double filter : {0.0, 0.095, 1.0}) {
        for (double hz : {100.0, 1000.0, 10000.0}) {
            ClipperStage stage = Stage(filter);
            const int settle = static_cast<int>(kRate / 2);
            const int window = static_cast<int>(kRate / 10);
            // At 1 mV the diodes conduct about 1e-7 S, within 0.01 % of linear, beside a network
            // of tens of kilohms: their nonlinearity moves the response by well under 1e-6.
            std::vector<double> x = Sine(0.001, hz, kRate, settle + window);
            std::vector<double> out(x.size());
            for (size_t i = 0; i < x.size(); ++i) {
                out[i] = stage.Process(x[i]);
            }
            const Complex measured = ToneAmplitude(out.data() + settle, window, hz, kRate) /
                                     ToneAmplitude(x.data() + settle, window, hz, kRate);
            const Complex expected = LinearGain(filter, hz);
            EXPECT_NEAR(std::abs(measured / expected), 1.0, 1e-6) << filter << ", " << hz;
            EXPECT_NEAR(std::arg(measured / expected), 0.0, 1e-6) << filter << ", " << hz;
        }
    }
}

// The tabulated sinh crosses zero at V = -10 uV rather than 0 (the lookup scale is not exactly
// the reciprocal of the table step); V creeps there through the diodes' 1e-7 S into C1, over
// about 45 s, and the 22 ms C3-RL high-pass passes only that creep: a few nanovolts.
TEST(ClipperStage, SilenceNeedsOneIterationAndGivesNearSilence) {
    ClipperStage stage = Stage(0.5);
    for (int i = 0; i < static_cast<int>(kRate); ++i) {
        ASSERT_LT(std::abs(stage.Process(0.0)), 1e-8) << i;
        ASSERT_EQ(stage.LastIterations(), 1) << i;
    }
}

// The diode pair passes 2 Is sinh(V / nVt); no more than 2 |vin| / Ra can flow through Ra (C1
// can at most double the swing at h), which bounds V. After the diodes the network is an RC
// low-pass (output never beyond its input's peak) then a C3-RL high-pass (at most twice that).
TEST(ClipperStage, OutputStaysBoundedForLargeInputs) {
    for (double amplitude : {1.0, 10.0, 1000.0}) {
        for (double filter : {0.0, 1.0}) {
            ClipperStage stage = Stage(filter);
            const double maxCurrent = 2.0 * amplitude / 1000.0;
            const double maxDiodeVolts =
                kThermalVolts * std::asinh(maxCurrent / (2.0 * kSaturationAmps));
            double peak = 0.0;
            for (double x : Sine(amplitude, 100.0, kRate, static_cast<int>(kRate / 5))) {
                peak = std::max(peak, std::abs(stage.Process(x)));
            }
            EXPECT_LT(peak, 2.0 * maxDiodeVolts) << amplitude << " V, filter " << filter;
            EXPECT_GT(peak, 0.1) << amplitude << " V, filter " << filter;
        }
    }
}

// A sine straight into the stage at a Filter of 0.095 (knob at 5).
int MostIterations(double amplitude, double hz) {
    ClipperStage stage = Stage(0.095);
    int most = 0;
    for (double x : Sine(amplitude, hz, kRate, static_cast<int>(kRate / 10))) {
        stage.Process(x);
        most = std::max(most, stage.LastIterations());
    }
    return most;
}

// A few steps for ordinary signals. A large jump of V between samples overshoots onto the steep
// side of the exponential, from where each step retreats by about nVt: crossing the whole
// +-35 nVt table takes about 70, still far below the cap of 1000.
TEST(ClipperStage, NewtonConvergesInAFewSteps) {
    for (double amplitude : {0.01, 0.1, 1.0}) {
        for (double hz : {100.0, 1000.0, 3000.0}) {
            EXPECT_LE(MostIterations(amplitude, hz), 5) << amplitude << " V, " << hz << " Hz";
        }
    }
    EXPECT_LE(MostIterations(3.5, 20000.0), 70);
}

TEST(StaticShaper, HasItsOffsetAtZeroAndIsOddAroundIt) {
    EXPECT_EQ(StaticShaper(0.0), -0.0537);
    // Small signals pass with gain 1 - 1 / 6.842.
    EXPECT_NEAR((StaticShaper(1e-6) - StaticShaper(-1e-6)) / 2e-6, 1.0 - 1.0 / 6.842, 1e-6);
}

}  // namespace
