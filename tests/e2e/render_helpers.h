// Signals in and out of an effect through its double-precision callback, and the level of a
// tone in the result.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/e2e/module_fixture.h"

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

// Double-precision processing in blocks of the given size.
inline Stereo Render(const host::HostedEffect& fx, const std::vector<double>& left,
                     const std::vector<double>& right, int block) {
    Stereo out{std::vector<double>(left.size()), std::vector<double>(left.size())};
    for (std::size_t at = 0; at < left.size(); at += block) {
        const int n = static_cast<int>(std::min<std::size_t>(block, left.size() - at));
        double* inputs[] = {const_cast<double*>(left.data()) + at,
                            const_cast<double*>(right.data()) + at};
        double* outputs[] = {out.left.data() + at, out.right.data() + at};
        fx.ProcessDoubleReplacing(inputs, outputs, n);
    }
    return out;
}

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
