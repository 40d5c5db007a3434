#include "dsp/rc_filters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "signal_helpers.h"

namespace {

constexpr double kRate = 88200.0;

// Steady-state gain of a filter for a sine at hz, measured over whole cycles after 3 s.
template <typename Filter>
double MeasuredGain(Filter filter, double hz, double rate) {
    const int settle = static_cast<int>(3 * rate);
    const int window = static_cast<int>(rate);  // one second: whole cycles of any integer hz
    std::vector<double> x = Sine(1.0, hz, rate, settle + window);
    for (double& sample : x) {
        sample = filter.Process(sample);
    }
    return std::abs(ToneAmplitude(x.data() + settle, window, hz, rate));
}

// One pole: 1 / sqrt(2) at the cutoff. The discretisation (backward Euler) departs from the
// analog response by about pi f / (2 rate) relative, 9e-4 for 50 Hz at 88.2 kHz; allow 1e-3.
TEST(RcFilters, AreThreeDecibelsDownAtTheirCutoff) {
    const double corner = 1.0 / std::sqrt(2.0);
    for (double hz : {5.0, 16.0, 50.0}) {
        RcHighPass highPass;
        highPass.Prepare(hz, kRate);
        EXPECT_NEAR(MeasuredGain(highPass, hz, kRate), corner, 1e-3) << hz << " Hz high-pass";
        RcLowPass lowPass;
        lowPass.Prepare(hz, kRate);
        EXPECT_NEAR(MeasuredGain(lowPass, hz, kRate), corner, 1e-3) << hz << " Hz low-pass";
    }
}

TEST(RcFilters, HighPassBlocksAndLowPassPassesDirectCurrent) {
    RcHighPass highPass;
    highPass.Prepare(16.0, kRate);
    RcLowPass lowPass;
    lowPass.Prepare(15900.0, kRate);
    double high = 0.0;
    double low = 0.0;
    for (int i = 0; i < static_cast<int>(kRate); ++i) {
        high = highPass.Process(1.0);
        low = lowPass.Process(1.0);
    }
    EXPECT_NEAR(high, 0.0, 1e-12);
    EXPECT_NEAR(low, 1.0, 1e-12);
}

TEST(RcFilters, SettlingPassLeavesTheLowPassAtItsRestState) {
    RcLowPass settled;
    settled.Prepare(15900.0, kRate);
    // Fed the same 1e-25 it was settled with, the output is already at rest (a fresh filter
    // would give 1e-25 / (1 + R G), about half of it).
    EXPECT_NEAR(settled.Process(1e-25), 1e-25, 1e-30);
}

}  // namespace
