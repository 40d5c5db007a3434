// Six first-order-in-z^-2 allpass sections run on two independent lanes, each lane with its own
// coefficient per section. The half-band filters pair their two cascades' lanes this way, and
// where the processor has 256-bit vectors run two cascades' lanes in one (RunSections).
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
        LanePair x = {lane0, lane1};
        ProcessBlock(&x, 1);
        lane0 = x[0];
        lane1 = x[1];
    }

    // n consecutive samples through sections 1..6, in place.
    void ProcessBlock(LanePair* x, int n) {
        // Working copies that x cannot alias, so the compiler may keep them in registers.
        LanePair previousInput[kSections];
        LanePair previousOutput[kSections];
        ExportStates(previousInput, previousOutput);
        RunSections(coefficients_.data(), previousInput, previousOutput, x, n);
        ImportStates(previousInput, previousOutput);
    }

    // The sections over n samples in place, for any vector of independent lanes: LanePair, or
    // two cascades' lanes side by side in a wider vector where the processor has one. The
    // states are the caller's working copies. Section i takes sample s in step s + kSkew i,
    // kSkew steps after section i - 1 gave it: each section still sees its samples in order, so
    // the result is that of filtering sample after sample, but the six sections' recursions
    // advance side by side, and a sample has kSkew steps to travel from one section into the
    // next instead of holding up the step after. Always inlined, so that code compiled for
    // wider vectors gets a copy of its own.
    template <typename Lanes>
    __attribute__((always_inline)) static void RunSections(const Lanes* coefficients,
                                                           Lanes* previousInput,
                                                           Lanes* previousOutput, Lanes* x, int n) {
        // At the doubled rate: (a + z^-2) / (1 + a z^-2).
        auto section = [&](int i, Lanes& sample) __attribute__((always_inline)) {
            const Lanes a = coefficients[i];
            Lanes y = a * sample + previousInput[i] - a * previousOutput[i];
            // Flushes anything below 1e-25 to zero, so the recursion never goes subnormal.
            y = (y + 1e-25) - 1e-25;
            previousInput[i] = sample;
            previousOutput[i] = y;
            sample = y;
        };
        constexpr int kSpan = kSkew * (kSections - 1);
        for (int step = 0; step < n + kSpan; ++step) {
            if (step >= kSpan && step < n) {
                // Every section has a sample.
#pragma GCC unroll 6
                for (int i = 0; i < kSections; ++i) {
                    section(i, x[step - kSkew * i]);
                }
            } else {
                // Filling or draining: only the sections whose sample lies in the block.
#pragma GCC unroll 6
                for (int i = 0; i < kSections; ++i) {
                    const int s = step - kSkew * i;
                    if (s >= 0 && s < n) {
                        section(i, x[s]);
                    }
                }
            }
        }
    }

    // For a caller that runs this cascade's lanes inside a wider vector: the coefficients and
    // the states, section by section.
    const LanePair* SectionCoefficients() const { return coefficients_.data(); }
    void ExportStates(LanePair* previousInput, LanePair* previousOutput) const {
        for (int i = 0; i < kSections; ++i) {
            previousInput[i] = previousInput_[i];
            previousOutput[i] = previousOutput_[i];
        }
    }
    void ImportStates(const LanePair* previousInput, const LanePair* previousOutput) {
        for (int i = 0; i < kSections; ++i) {
            previousInput_[i] = previousInput[i];
            previousOutput_[i] = previousOutput[i];
        }
    }

    void Clear() {
        previousInput_ = {};
        previousOutput_ = {};
    }

    // False when the magnitudes of a lane's states add up to more than limit, or to no number.
    bool StateWithin(double limit) const {
        LanePair total = {0.0, 0.0};
        for (int i = 0; i < kSections; ++i) {
            total += Abs(previousInput_[i]) + Abs(previousOutput_[i]);
        }
        return total[0] <= limit && total[1] <= limit;
    }

private:
    // One step, as in RunSections, is shorter than a sample's way through a section and into
    // the next (a multiply, four additions and a store forwarded to a load); two are not.
    static constexpr int kSkew = 2;

    std::array<LanePair, kSections> coefficients_;
    std::array<LanePair, kSections> previousInput_{};
    std::array<LanePair, kSections> previousOutput_{};
};
