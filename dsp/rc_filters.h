// One-pole RC filters built from a 1 uF capacitor (backward-Euler companion model: conductance
// C / T beside a history current) and a resistor chosen for the cutoff. Prepare outside the audio
// path; Process once per sample on the owner's thread. Prepare never clears the state.
#pragma once

// Coefficients and state shared by the high-pass and low-pass forms.
class RcPole {
public:
    // cutoffHz is pre-warped so the analog corner lands at the same digital frequency.
    void Prepare(double cutoffHz, double sampleRate);

    double WarpedFrequency() const { return warpedFrequency_; }

protected:
    double warpedFrequency_ = 0.0;  // Hz
    double capacitance_ = 1e-6;     // farads
    double conductance_ = 0.0;      // siemens, C / T
    double resistance_ = 0.0;       // ohms, 1 / (2 pi f C)
    double k_ = 0.0;                // 1 / (R G + 1)
    double state_ = 0.0;            // amperes, the capacitor's history current
};

// Series capacitor, resistor to ground: output across the resistor.
class RcHighPass : public RcPole {
public:
    double Process(double a) {
        const double y = (a * conductance_ - state_) * resistance_ * k_;
        state_ = (a - y) * conductance_;
        return y;
    }
};

// Series resistor, capacitor to ground: output across the capacitor.
class RcLowPass : public RcPole {
public:
    // Also runs the settling pass: the filter fed with 1e-25 for 256 steps.
    void Prepare(double cutoffHz, double sampleRate);

    double Process(double a) {
        const double y = (resistance_ * state_ + a) * k_;
        state_ = conductance_ * y;
        return y;
    }
};
