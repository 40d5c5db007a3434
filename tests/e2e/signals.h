// Test signals and what is measured in the results, for every suite that plays audio through a
// module whatever its format.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/e2e/pi.h"

constexpr double kRate = 44100;

inline std::vector<double> Sine(int frames, double hz, double amplitude, double rate = kRate) {
    std::vector<double> v(frames);
    for (int i = 0; i < frames; ++i) v[i] = amplitude * std::sin(2 * kPi * hz * i / rate);
    return v;
}

struct Stereo {
    std::vector<double> left, right;
    bool operator==(const Stereo& o) const { return left == o.left && right == o.right; }
    bool operator!=(const Stereo& o) const { return !(*this == o); }
};

// Amplitude of the component at hz (Goertzel over whole periods of a Hann-windowed signal).
inline double Magnitude(const std::vector<double>& x, double hz, double rate = kRate) {
    double re = 0, im = 0;
    const double n = static_cast<double>(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double w = 0.5 - 0.5 * std::cos(2 * kPi * i / n);
        re += w * x[i] * std::cos(2 * kPi * hz * i / rate);
        im -= w * x[i] * std::sin(2 * kPi * hz * i / rate);
    }
    return std::sqrt(re * re + im * im) / (n / 4);
}

inline bool AllFinite(const Stereo& s) {
    auto finite = [](double v) { return std::isfinite(v); };
    return std::all_of(s.left.begin(), s.left.end(), finite) &&
           std::all_of(s.right.begin(), s.right.end(), finite);
}
