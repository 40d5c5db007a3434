// One-pole RC filters built from a 1 uF capacitor (backward-Euler companion model: conductance
// C / T beside a history current) and a resistor chosen for the cutoff. Prepare outside the audio
// path; Process once per sample on the owner's thread. Prepare never clears the state.
// Sample is double, or LanePair for two prepared filters run side by side (Join, then Split).
#pragma once

#include <cmath>

#include "dsp/lane_pair.h"

// Coefficients and state shared by the high-pass and low-pass forms.
template <typename Sample>
class BasicRcPole {
public:
    // The highest corner a filter takes, as a share of its sample rate.
    static constexpr double kMaxCutoffShare = 0.45;

    // cutoffHz is pre-warped so the analog corner lands at the same digital frequency; a
    // corner above kMaxCutoffShare of the rate is lowered to it.
    void Prepare(double cutoffHz, double sampleRate);

    double WarpedFrequency() const { return warpedFrequency_; }

    // False for a state of magnitude above limit, or not a number.
    bool StateWithin(double limit) const { return std::fabs(state_) <= limit; }
    void RestoreStateFrom(const BasicRcPole& rest) { state_ = rest.state_; }

    // Lane c takes over filter c's coefficients and state.
    void Join(const BasicRcPole<double>& first, const BasicRcPole<double>& second) {
        conductance_ = LanePair{first.conductance_, second.conductance_};
        resistance_ = LanePair{first.resistance_, second.resistance_};
        k_ = LanePair{first.k_, second.k_};
        state_ = LanePair{first.state_, second.state_};
    }
    // Hands each lane's state back to its filter.
    void Split(BasicRcPole<double>& first, BasicRcPole<double>& second) const {
        first.state_ = state_[0];
        second.state_ = state_[1];
    }

protected:
    template <typename>
    friend class BasicRcPole;

    // Not used per sample, so a pair of filters leaves them out.
    double warpedFrequency_ = 0.0;  // Hz
    double capacitance_ = 1e-6;     // farads

    Sample conductance_{};  // siemens, C / T
    Sample resistance_{};   // ohms, 1 / (2 pi f C)
    Sample k_{};            // 1 / (R G + 1)
    Sample state_{};        // amperes, the capacitor's history current
};

// Series capacitor, resistor to ground: output across the resistor.
template <typename Sample>
class BasicRcHighPass : public BasicRcPole<Sample> {
public:
    Sample Process(Sample a) {
        const Sample y = (a * this->conductance_ - this->state_) * this->resistance_ * this->k_;
        this->state_ = (a - y) * this->conductance_;
        return y;
    }
};

// Series resistor, capacitor to ground: output across the capacitor.
template <typename Sample>
class BasicRcLowPass : public BasicRcPole<Sample> {
public:
    // Also runs the settling pass: the filter fed with 1e-25 for 256 steps.
    void Prepare(double cutoffHz, double sampleRate);

    Sample Process(Sample a) {
        const Sample y = (this->resistance_ * this->state_ + a) * this->k_;
        this->state_ = this->conductance_ * y;
        return y;
    }
};

// Coefficients are computed for single filters only.
template <>
void BasicRcPole<double>::Prepare(double cutoffHz, double sampleRate);
template <>
void BasicRcLowPass<double>::Prepare(double cutoffHz, double sampleRate);

using RcHighPass = BasicRcHighPass<double>;
using RcLowPass = BasicRcLowPass<double>;
