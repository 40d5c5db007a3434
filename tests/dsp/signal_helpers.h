// Measurement helpers for the DSP tests: test tones and single-bin spectral analysis.
#pragma once

#include <cmath>
#include <complex>
#include <vector>

constexpr double kPi = 3.141592653589793;

inline std::vector<double> Sine(double amplitude, double hz, double rate, int count) {
    std::vector<double> signal(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        signal[static_cast<size_t>(i)] = amplitude * std::sin(2.0 * kPi * hz * i / rate);
    }
    return signal;
}

// Complex amplitude of the component at hz, over a window holding a whole number of its cycles
// (no leakage from a rectangular window then): x[k] = |A| cos(2 pi hz k / rate + arg A).
inline std::complex<double> ToneAmplitude(const double* x, int count, double hz, double rate) {
    std::complex<double> sum = 0.0;
    for (int k = 0; k < count; ++k) {
        sum += x[k] * std::polar(1.0, -2.0 * kPi * hz * k / rate);
    }
    return sum * (2.0 / count);
}

inline double Decibels(double ratio) {
    return 20.0 * std::log10(ratio);
}
