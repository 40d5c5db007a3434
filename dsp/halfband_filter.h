// Polyphase IIR half-band low-pass at a doubled rate: y[m] = (A(u)[m] + B(u)[m - 1]) / 2, where
// A and B are allpass cascades. Works on pairs of doubled-rate samples. Owned by one
// Oversampler; used on one thread at a time.
#pragma once

#include <array>
#include <cmath>

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
        : even_(coefficients.a, coefficients.b),
          odd_(coefficients.a, coefficients.b),
          useLaneQuads_(HasLaneQuads()) {}

    // Lets FilterPairs run both cascades in one LaneQuad where the processor can (the default)
    // or not; either way gives the same bits.
    void AllowLaneQuads(bool allow) { useLaneQuads_ = allow && HasLaneQuads(); }

    // Filters the pairs (u[2k] earlier, u[2k + 1]), k = 0 .. pairs - 1, into y[2k], y[2k + 1].
    // u and y must not overlap.
    void FilterPairs(const double* u, double* y, int pairs);

    // As FilterPairs, keeping only the first filtered sample of each pair, in y[k]; the lanes
    // that feed the second alone are not run. Use one filter either always this way or always
    // with FilterPairs.
    void FilterFirstOfPairs(const double* u, double* y, int pairs);

    // FilterFirstOfPairs of two filters over the same number of pairs, each exactly as on its
    // own: both in one LaneQuad where the processor can, else one after the other.
    static void FilterFirstOfPairs(HalfbandFilter& first, const double* u0, double* y0,
                                   HalfbandFilter& second, const double* u1, double* y1, int pairs);

    // Clears the allpass lanes; the delay slot keeps its sample.
    void ClearLanes() {
        even_.Clear();
        odd_.Clear();
    }

    // Clears every state, the delay slot included.
    void Clear() {
        ClearLanes();
        delaySlot_ = 0.0;
    }

    // False for a state beyond limit (a lane's states counted together), or not a number.
    bool StateWithin(double limit) const {
        return even_.StateWithin(limit) && odd_.StateWithin(limit) &&
               std::fabs(delaySlot_) <= limit;
    }

private:
    // Pairs filtered per pass through the cascades, a few kilobytes of stack.
    static constexpr int kChunk = 64;

    // FilterPairs with cascade A and B of even_ and odd_ as the four lanes of one LaneQuad:
    // half the steps, on processors with 256-bit vectors.
    void FilterPairsInLaneQuads(const double* u, double* y, int pairs);
    // The two filters' even_ cascades as the four lanes of one LaneQuad.
    static void FilterFirstOfPairsInLaneQuads(HalfbandFilter& first, const double* u0, double* y0,
                                              HalfbandFilter& second, const double* u1, double* y1,
                                              int pairs);

    // Lane 0 runs cascade A, lane 1 cascade B: even_ on the first sample of each pair, odd_ on
    // the second.
    AllpassCascade even_;
    AllpassCascade odd_;
    double delaySlot_ = 0.0;  // the second sample of the previous pair
    bool useLaneQuads_;
};
