// Six first-order-in-z^-2 allpass sections run on two independent lanes, each lane with its own
// coefficient per section. The half-band filters pair their two cascades' lanes this way.
// Owned by one HalfbandFilter; used on one thread at a time.
#pragma once

#include <array>

#include "dsp/lane_pair.h"

class AllpassCascade {
public:
    static constexpr int kSections = 6;
    using Coefficients = std::array<double, kSections>;

    // Both lanes with the same coefficients.
    explicit AllpassCascade(const Coefficients& coefficients)
        : AllpassCascade(coefficients, coefficients) {}

    AllpassCascade(const Coefficients& lane0, const Coefficients& lane1) {
        for (int i = 0; i < kSections; ++i) {
            coefficients_[i] = LanePair{lane0[i], lane1[i]};
        }
    }

    // Lane 0 and lane 1 each through sections 1..6 in order; the lanes never interact.
    void ProcessPair(double& lane0, double& lane1) {
        const LanePair y = Process(LanePair{lane0, lane1});
        lane0 = y[0];
        lane1 = y[1];
    }

    LanePair Process(LanePair x) {
        for (int i = 0; i < kSections; ++i) {
            x = Section(i, x);
        }
        return x;
    }

    void Clear() {
        previousInput_ = {};
        previousOutput_ = {};
    }

private:
    // At the doubled rate: (a + z^-2) / (1 + a z^-2).
    LanePair Section(int i, LanePair x) {
        const LanePair a = coefficients_[i];
        LanePair y = a * x + previousInput_[i] - a * previousOutput_[i];
        // Flushes anything below 1e-25 to zero, so the recursion never goes subnormal.
        y = (y + 1e-25) - 1e-25;
        previousInput_[i] = x;
        previousOutput_[i] = y;
        return y;
    }

    std::array<LanePair, kSections> coefficients_;
    std::array<LanePair, kSections> previousInput_{};
    std::array<LanePair, kSections> previousOutput_{};
};
