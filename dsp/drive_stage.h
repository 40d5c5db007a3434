// The op-amp gain stage: a non-inverting amplifier whose feedback resistance is the Drive pot,
// with two series RC legs to ground, a feedback capacitor, a one-pole op-amp and a rail-clipping
// table. Capacitors use trapezoidal companion models, so one sample is solved in closed form.
// SetCoefficients outside the audio path; Process once per sample; the history currents survive
// coefficient changes. Owned by one ChannelEngine, used on one thread at a time.
// Sample is double, or LanePair for two stages run side by side (Join, then Split).
#pragma once

#include <cmath>

#include "dsp/lane_pair.h"
#include "dsp/table_lookup.h"

template <typename Sample>
class BasicDriveStage {
public:
    BasicDriveStage();

    // sampleRate in Hz; drive is the tapered Drive value d, 0..1, which sets the feedback
    // resistance Rp = 100000 d + 0.3 ohms.
    void SetCoefficients(double sampleRate, double drive);

    // Input and output in volts.
    Sample Process(Sample input) {
        const Sample x = input + 1e-25;
        Sample v = (x * ax_ * invQ_ + a4_ * s4_ * invQ_ + a3_ * s3_ * invQ_ + a1_ * s1_ * invQ_ +
                    a2_ * s2_ * invQ_) *
                       kOpAmpLoadOhms -
                   kOpAmpOffsetVolts;
        v = rail_.Lookup(v);
        const Sample o =
            v * bv_ * invPB_ + s1_ * b1_ * invPB_ + s3_ * b3_ * invPB_ + s2_ * b2_ * invPB_;
        const Sample w =
            o * co_ * invPC_ + s3_ * c3_ * invPC_ + s1_ * c1_ * invPC_ + s2_ * c2_ * invPC_;
        const Sample nB = (w * g1_ - s1_) * kR1 * kB_;
        const Sample nA = (w * g2_ - s2_) * kR2 * kA_;
        s4_ = g4_ * 2.0 * v - s4_;
        s1_ = (w - nB) * (2.0 * g1_) - s1_;
        s2_ = (w - nA) * (2.0 * g2_) - s2_;
        s3_ = (o - w) * (2.0 * g3_) - s3_;
        return o;
    }

    // False for a history current of magnitude above limit, or not a number.
    bool StateWithin(double limit) const {
        return std::fabs(s1_) <= limit && std::fabs(s2_) <= limit && std::fabs(s3_) <= limit &&
               std::fabs(s4_) <= limit;
    }
    // The history currents of rest; the coefficients stay.
    void RestoreStateFrom(const BasicDriveStage& rest) {
        s1_ = rest.s1_;
        s2_ = rest.s2_;
        s3_ = rest.s3_;
        s4_ = rest.s4_;
    }

    // Lane c takes over stage c's coefficients and history currents.
    void Join(const BasicDriveStage<double>& first, const BasicDriveStage<double>& second);
    // Hands each lane's history currents back to its stage.
    void Split(BasicDriveStage<double>& first, BasicDriveStage<double>& second) const;

private:
    template <typename>
    friend class BasicDriveStage;

    static constexpr double kR1 = 560.0;                         // ohms, in series with C1
    static constexpr double kR2 = 47.0;                          // ohms, in series with C2
    static constexpr double kOpAmpLoadOhms = 10610329.53945969;  // K2
    static constexpr double kOpAmpOffsetVolts = 0.09;

    TableLookup rail_;

    // Companion conductances 2 C / T in siemens: C1, C2, C3 (feedback), C4 (op-amp pole).
    Sample g1_{};
    Sample g2_{};
    Sample g3_{};
    Sample g4_{};

    // Closed-form solution of the network: numerators and the reciprocals of the denominators
    // Q (op-amp node), PB (output node o) and PC (feedback node w).
    Sample invQ_{};
    Sample invPB_{};
    Sample invPC_{};
    Sample ax_{};
    Sample a4_{};
    Sample a3_{};
    Sample a1_{};
    Sample a2_{};
    Sample bv_{};
    Sample b1_{};
    Sample b3_{};
    Sample b2_{};
    Sample co_{};
    Sample c3_{};
    Sample c1_{};
    Sample c2_{};
    Sample kB_{};  // 1 / (1 + R1 G1)
    Sample kA_{};  // 1 / (1 + R2 G2)

    // History currents in amperes of C1, C2, C3 and C4.
    Sample s1_{};
    Sample s2_{};
    Sample s3_{};
    Sample s4_{};
};

// Built and computed as single stages only; pairs are joined from them.
template <>
BasicDriveStage<double>::BasicDriveStage();
template <>
void BasicDriveStage<double>::SetCoefficients(double sampleRate, double drive);

template <typename Sample>
BasicDriveStage<Sample>::BasicDriveStage() = default;

template <typename Sample>
void BasicDriveStage<Sample>::Join(const BasicDriveStage<double>& first,
                                   const BasicDriveStage<double>& second) {
    rail_ = first.rail_;
    g1_ = LanePair{first.g1_, second.g1_};
    g2_ = LanePair{first.g2_, second.g2_};
    g3_ = LanePair{first.g3_, second.g3_};
    g4_ = LanePair{first.g4_, second.g4_};
    invQ_ = LanePair{first.invQ_, second.invQ_};
    invPB_ = LanePair{first.invPB_, second.invPB_};
    invPC_ = LanePair{first.invPC_, second.invPC_};
    ax_ = LanePair{first.ax_, second.ax_};
    a4_ = LanePair{first.a4_, second.a4_};
    a3_ = LanePair{first.a3_, second.a3_};
    a1_ = LanePair{first.a1_, second.a1_};
    a2_ = LanePair{first.a2_, second.a2_};
    bv_ = LanePair{first.bv_, second.bv_};
    b1_ = LanePair{first.b1_, second.b1_};
    b3_ = LanePair{first.b3_, second.b3_};
    b2_ = LanePair{first.b2_, second.b2_};
    co_ = LanePair{first.co_, second.co_};
    c3_ = LanePair{first.c3_, second.c3_};
    c1_ = LanePair{first.c1_, second.c1_};
    c2_ = LanePair{first.c2_, second.c2_};
    kB_ = LanePair{first.kB_, second.kB_};
    kA_ = LanePair{first.kA_, second.kA_};
    s1_ = LanePair{first.s1_, second.s1_};
    s2_ = LanePair{first.s2_, second.s2_};
    s3_ = LanePair{first.s3_, second.s3_};
    s4_ = LanePair{first.s4_, second.s4_};
}

template <typename Sample>
void BasicDriveStage<Sample>::Split(BasicDriveStage<double>& first,
                                    BasicDriveStage<double>& second) const {
    first.s1_ = s1_[0];
    first.s2_ = s2_[0];
    first.s3_ = s3_[0];
    first.s4_ = s4_[0];
    second.s1_ = s1_[1];
    second.s2_ = s2_[1];
    second.s3_ = s3_[1];
    second.s4_ = s4_[1];
}

using DriveStage = BasicDriveStage<double>;
