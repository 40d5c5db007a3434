// Polyphase IIR half-band low-pass at a doubled rate: y[m] = (A(u)[m] + B(u)[m - 1]) / 2, where
// A and B are allpass cascades. Works on pairs of doubled-rate samples. Owned by one
// Oversampler; used on one thread at a time.
#pragma once

#include <array>

#include "dsp/allpass_cascade.h"

struct HalfbandCoefficients {
    std::array<double, AllpassCascade::kSections> a;
    std::array<double, AllpassCascade::kSections> b;
};

// Narrow transition band: the up-sampling octave next to the host rate and every
// down-sampling octave.
extern const HalfbandCoefficients kSteepHalfband;
// Wider transition band: the higher up-sampling octaves, whose input is already band-limited
// well below their cutoff.
extern const HalfbandCoefficients kGentleHalfband;

class HalfbandFilter {
public:
    explicit HalfbandFilter(const HalfbandCoefficients& coefficients)
        : cascadeA_(coefficients.a), cascadeB_(coefficients.b) {}

    // Filters the pair (u0 earlier, u1) into (y0, y1).
    void FilterPair(double u0, double u1, double& y0, double& y1) {
        double b0 = delaySlot_;
        double b1 = u0;
        delaySlot_ = u1;
        double a0 = u0;
        double a1 = u1;
        cascadeA_.ProcessPair(a0, a1);
        cascadeB_.ProcessPair(b0, b1);
        y0 = (a0 + b0) * 0.5;
        y1 = (a1 + b1) * 0.5;
    }

    // As FilterPair, returning only y0; the lanes that feed y1 alone are not run. Use one filter
    // either always this way or always with FilterPair.
    double FilterPairFirst(double u0, double u1) {
        const double b0 = cascadeB_.ProcessLane(0, delaySlot_);
        delaySlot_ = u1;
        const double a0 = cascadeA_.ProcessLane(0, u0);
        return (a0 + b0) * 0.5;
    }

    // Clears the allpass lanes; the delay slot keeps its sample.
    void ClearLanes() {
        cascadeA_.Clear();
        cascadeB_.Clear();
    }

private:
    AllpassCascade cascadeA_;
    AllpassCascade cascadeB_;
    double delaySlot_ = 0.0;  // the second sample of the previous pair
};
