#include "dsp/rc_filters.h"

#include <algorithm>
#include <cmath>

#include "dsp/dsp_constants.h"

template <>
void BasicRcPole<double>::Prepare(double cutoffHz, double sampleRate) {
    // At or beyond half the rate the pre-warp turns the pole unstable; low host rates bring the
    // 15.9 kHz pre-filter there, so the corner stays safely below.
    cutoffHz = std::min(cutoffHz, kMaxCutoffShare * sampleRate);
    const double t = 1.0 / sampleRate;
    // tan(pi f / fs) fs / pi, written out as the circuit derivation leaves it.
    warpedFrequency_ = std::tan(kTwoPi * cutoffHz / sampleRate * 0.5) * (2.0 * sampleRate) *
                       cutoffHz / (kTwoPi * cutoffHz);
    capacitance_ = 1e-6;
    conductance_ = 1e-6 / t;
    resistance_ = 1.0 / (warpedFrequency_ * kTwoPi * 1e-6);
    k_ = 1.0 / (resistance_ * conductance_ + 1.0);
}

template <>
void BasicRcLowPass<double>::Prepare(double cutoffHz, double sampleRate) {
    BasicRcPole<double>::Prepare(cutoffHz, sampleRate);
    for (int step = 0; step < 32 * 8; ++step) {
        const double y = (resistance_ * state_ + 1e-25) * k_;
        state_ = conductance_ * y;
    }
}
