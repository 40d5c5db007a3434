// First-order allpass interpolator that delays its input by about half a sample; makes the new
// in-between samples when the oversampler doubles the rate. Used on one thread at a time.
#pragma once

#include <cmath>

class HalfDelay {
public:
    double Step(double v) {
        // (c + z^-1) / (1 + c z^-1): delay (1 - c) / (1 + c) samples at low frequencies.
        const double h = previousInput_ + (v - previousOutput_) * kCoefficient;
        previousInput_ = v;
        previousOutput_ = h;
        return h;
    }

    // False for a state of magnitude above limit, or not a number.
    bool StateWithin(double limit) const {
        return std::fabs(previousInput_) <= limit && std::fabs(previousOutput_) <= limit;
    }

private:
    static constexpr double kCoefficient = 0.33333333;  // eight threes: not exactly 1 / 3
    double previousInput_ = 0.0;
    double previousOutput_ = 0.0;
};
