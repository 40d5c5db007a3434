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
        : even_(coefficients.a, coefficients.b), odd_(coefficients.a, coefficients.b) {}

    // Filters the pair (u0 earlier, u1) into (y0, y1).
    void FilterPair(double u0, double u1, double& y0, double& y1) {
        // Cascade A takes (u0, u1), cascade B the pair (delay slot, u0).
        const LanePair even = even_.Process(LanePair{u0, delaySlot_});
        const LanePair odd = odd_.Process(LanePair{u1, u0});
        delaySlot_ = u1;
        y0 = (even[0] + even[1]) * 0.5;
        y1 = (odd[0] + odd[1]) * 0.5;
    }

    // As FilterPair, returning only y0; the lanes that feed y1 alone are not run. Use one filter
    // either always this way or always with FilterPair.
    double FilterPairFirst(double u0, double u1) {
        const LanePair even = even_.Process(LanePair{u0, delaySlot_});
        delaySlot_ = u1;
        return (even[0] + even[1]) * 0.5;
    }

    // Clears the allpass lanes; the delay slot keeps its sample.
    void ClearLanes() {
        even_.Clear();
        odd_.Clear();
    }

private:
    // Lane 0 runs cascade A, lane 1 cascade B: even_ on the first sample of each pair, odd_ on
    // the second.
    AllpassCascade even_;
    AllpassCascade odd_;
    double delaySlot_ = 0.0;  // the second sample of the previous pair
};
