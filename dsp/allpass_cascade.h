// Six first-order-in-z^-2 allpass sections run on two independent lanes (the even and the odd
// samples of a doubled-rate signal), the building block of the polyphase half-band filters.
// Owned by one HalfbandFilter; used on one thread at a time.
#pragma once

#include <array>

class AllpassCascade {
public:
    static constexpr int kSections = 6;

    explicit AllpassCascade(const std::array<double, kSections>& coefficients)
        : coefficients_(coefficients) {}

    // Lane 0 and lane 1 each through sections 1..6 in order; the lanes never interact.
    void ProcessPair(double& lane0, double& lane1) {
        double x0 = lane0;
        double x1 = lane1;
        for (int i = 0; i < kSections; ++i) {
            x0 = Section(i, lanes_[0], x0);
            x1 = Section(i, lanes_[1], x1);
        }
        lane0 = x0;
        lane1 = x1;
    }

    // One lane on its own, for callers that never read the other lane's output.
    double ProcessLane(int lane, double x) {
        for (int i = 0; i < kSections; ++i) {
            x = Section(i, lanes_[lane], x);
        }
        return x;
    }

    void Clear() { lanes_ = {}; }

private:
    struct Lane {
        std::array<double, kSections> previousInput{};
        std::array<double, kSections> previousOutput{};
    };

    // At the doubled rate: (a + z^-2) / (1 + a z^-2).
    double Section(int i, Lane& state, double x) {
        const double a = coefficients_[i];
        double y = a * x + state.previousInput[i] - a * state.previousOutput[i];
        // Flushes anything below 1e-25 to zero, so the recursion never goes subnormal.
        y = (y + 1e-25) - 1e-25;
        state.previousInput[i] = x;
        state.previousOutput[i] = y;
        return y;
    }

    std::array<double, kSections> coefficients_;
    std::array<Lane, 2> lanes_{};
};
