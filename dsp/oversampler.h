// Converts one channel's block between the host rate and 1, 2, 4 or 8 times it, an octave at a
// time: half-delay interpolation plus a half-band filter going up, half-band filter plus
// decimation coming down. Owned by the effect, one per channel; SetFactor from the parameter
// handling and Upsample / Downsample from the audio callback, serialised by the effect's lock.
#pragma once

#include <array>

#include "dsp/half_delay.h"
#include "dsp/halfband_filter.h"

class Oversampler {
public:
    Oversampler();

    // 1, 2, 4 or 8; anything else selects 1. A different factor clears the allpass lanes of all
    // half-band filters (not the half-delays or delay slots); the same factor clears nothing.
    void SetFactor(int factor);
    int Factor() const { return factor_; }

    // Reads n samples from in, writes Factor() x n to out. in and out must not overlap.
    void Upsample(const double* in, double* out, int n);
    // Reads Factor() x n samples from in, writes n to out. in and out must not overlap.
    void Downsample(const double* in, double* out, int n);

    // Downsample of two oversamplers, each exactly as on its own, faster where both have the
    // same factor: their filters then run side by side.
    static void DownsamplePair(Oversampler& first, const double* in0, double* out0,
                               Oversampler& second, const double* in1, double* out1, int n);

    // False once a filter state is not a finite number or lies beyond kStateLimit.
    bool IsHealthy() const;
    // Clears every state, which is where silence leaves them: the oversampler's rest state.
    void Reset();

private:
    // Host-rate samples per pass through the octaves, a few kilobytes of stack.
    static constexpr int kChunk = 64;

    // The down-sampling octaves of `count` (1 or 2) oversamplers at the same factor.
    static void DownsampleChannels(Oversampler* const* channels, const double* const* in,
                                   double* const* out, int count, int n);

    // One up-sampling octave over n samples: each v and its half-sample-delayed neighbour, as
    // the pair (delayed, v), through the half-band; 2 n samples out.
    static void UpOctave(HalfbandFilter& filter, HalfDelay& delay, const double* in, double* out,
                         int n);

    int factor_ = 1;
    // 0..2 serve the up-sampling octaves (host rate outwards), 3..5 the down-sampling ones.
    std::array<HalfbandFilter, 6> halfbands_;
    std::array<HalfDelay, 3> halfDelays_{};
};
