// The op-amp gain stage: a non-inverting amplifier whose feedback resistance is the Drive pot,
// with two series RC legs to ground, a feedback capacitor, a one-pole op-amp and a rail-clipping
// table. Capacitors use trapezoidal companion models, so one sample is solved in closed form.
// SetCoefficients outside the audio path; Process once per sample; the history currents survive
// coefficient changes. Owned by one ChannelEngine, used on one thread at a time.
#pragma once

#include "dsp/table_lookup.h"

class DriveStage {
public:
    DriveStage();

    // sampleRate in Hz; drive is the tapered Drive value d, 0..1, which sets the feedback
    // resistance Rp = 100000 d + 0.3 ohms.
    void SetCoefficients(double sampleRate, double drive);

    // Input and output in volts.
    double Process(double input) {
        const double x = input + 1e-25;
        double v = (x * ax_ * invQ_ + a4_ * s4_ * invQ_ + a3_ * s3_ * invQ_ + a1_ * s1_ * invQ_ +
                    a2_ * s2_ * invQ_) *
                       kOpAmpLoadOhms -
                   kOpAmpOffsetVolts;
        v = rail_.Lookup(v);
        const double o =
            v * bv_ * invPB_ + s1_ * b1_ * invPB_ + s3_ * b3_ * invPB_ + s2_ * b2_ * invPB_;
        const double w =
            o * co_ * invPC_ + s3_ * c3_ * invPC_ + s1_ * c1_ * invPC_ + s2_ * c2_ * invPC_;
        const double nB = (w * g1_ - s1_) * kR1 * kB_;
        const double nA = (w * g2_ - s2_) * kR2 * kA_;
        s4_ = g4_ * 2.0 * v - s4_;
        s1_ = (w - nB) * (2.0 * g1_) - s1_;
        s2_ = (w - nA) * (2.0 * g2_) - s2_;
        s3_ = (o - w) * (2.0 * g3_) - s3_;
        return o;
    }

private:
    static constexpr double kR1 = 560.0;                         // ohms, in series with C1
    static constexpr double kR2 = 47.0;                          // ohms, in series with C2
    static constexpr double kOpAmpLoadOhms = 10610329.53945969;  // K2
    static constexpr double kOpAmpOffsetVolts = 0.09;

    TableLookup rail_;

    // Companion conductances 2 C / T in siemens: C1, C2, C3 (feedback), C4 (op-amp pole).
    double g1_ = 0.0;
    double g2_ = 0.0;
    double g3_ = 0.0;
    double g4_ = 0.0;

    // Closed-form solution of the network: numerators and the reciprocals of the denominators
    // Q (op-amp node), PB (output node o) and PC (feedback node w).
    double invQ_ = 0.0;
    double invPB_ = 0.0;
    double invPC_ = 0.0;
    double ax_ = 0.0;
    double a4_ = 0.0;
    double a3_ = 0.0;
    double a1_ = 0.0;
    double a2_ = 0.0;
    double bv_ = 0.0;
    double b1_ = 0.0;
    double b3_ = 0.0;
    double b2_ = 0.0;
    double co_ = 0.0;
    double c3_ = 0.0;
    double c1_ = 0.0;
    double c2_ = 0.0;
    double kB_ = 0.0;  // 1 / (1 + R1 G1)
    double kA_ = 0.0;  // 1 / (1 + R2 G2)

    // History currents in amperes of C1, C2, C3 and C4.
    double s1_ = 0.0;
    double s2_ = 0.0;
    double s3_ = 0.0;
    double s4_ = 0.0;
};
