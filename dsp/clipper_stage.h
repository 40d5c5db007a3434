// The diode clipping network: input coupling capacitor C1, Ra into an anti-parallel diode pair,
// the Filter pot Rp into C2 to ground, then C3 into a 1 Mohm load. Capacitors use backward-Euler
// companion models; the diode voltage is solved per sample by a bounded Newton iteration on
// tabulated sinh / cosh. SetCoefficients outside the audio path; Process once per sample; the
// state survives coefficient changes. Owned by one ChannelEngine, used on one thread at a time.
// Sample is double, or LanePair for two stages run side by side (Join, then Split).
#pragma once

#include <cmath>

#include "dsp/lane_pair.h"
#include "dsp/table_lookup.h"

template <typename Sample>
class BasicClipperStage {
public:
    static constexpr int kMaxNewtonIterations = 1000;

    // Connects to the process-wide sinh / cosh tables, building them on first use.
    BasicClipperStage();

    // sampleRate in Hz; filter is the tapered Filter value f, 0..1, which sets the series
    // resistance Rp = 100000 f + 1500 ohms.
    void SetCoefficients(double sampleRate, double filter);

    // Input and output in volts.
    Sample Process(Sample x) {
        const Sample vin = x + 1e-25;

        // The terms of the node equation that do not depend on V, each product left to right.
        const Sample capacitorC3 = iDqC_ * sc_;
        const Sample capacitorC2 = qBiD_ * sb_;
        const Sample capacitorC1 = qAiD_ * sa_;
        const Sample input = qIniD_ * vin;
        SolveDiodeVoltage(capacitorC3, capacitorC2, capacitorC1, input);

        const Sample h = (raG1_ * vin - kRa * sa_ + v_) * kH_;
        const Sample n = (rp_ * sb_ + v_ + g3Rl_ * v_ + g3Rl_ * sb_ * rp_ + rp_ * sc_) * kN_;
        sa_ = (vin - h) * g1_;
        sb_ = g2_ * n;
        const Sample out = (n * g3_ - sc_) * kRl * kOut_;
        sc_ = (n - out) * g3_;
        return out;
    }

    // Newton iterations the last Process needed (1 .. kMaxNewtonIterations), of the first lane.
    int LastIterations() const { return lastIterations_[0]; }

    // False for a state value of magnitude above limit, or not a number.
    bool StateWithin(double limit) const {
        return std::fabs(v_) <= limit && std::fabs(sa_) <= limit && std::fabs(sb_) <= limit &&
               std::fabs(sc_) <= limit;
    }
    // The diode voltage and history currents of rest; the coefficients stay.
    void RestoreStateFrom(const BasicClipperStage& rest) {
        v_ = rest.v_;
        sa_ = rest.sa_;
        sb_ = rest.sb_;
        sc_ = rest.sc_;
    }

    // Lane c takes over stage c's coefficients and state.
    void Join(const BasicClipperStage<double>& first, const BasicClipperStage<double>& second);
    // Hands each lane's state and last iteration count back to its stage.
    void Split(BasicClipperStage<double>& first, BasicClipperStage<double>& second) const;

private:
    template <typename>
    friend class BasicClipperStage;

    static constexpr int kLanes = sizeof(Sample) / sizeof(double);
    static constexpr double kRa = 1000.0;                     // ohms, into the diodes
    static constexpr double kRl = 1e6;                        // ohms, the load
    static constexpr double kSaturationAmps = 2.52e-9;        // Is of each diode
    static constexpr double kInverseNVt = 21.05263157894737;  // 1 / (0.0475 V)
    static constexpr double kNewtonTolerance = 1e-4;          // volts

    // Newton on F(V) = 0, F being the node equation at the diodes, starting from the previous
    // sample's V; diode current 2 Is sinh(V / nVt).
    void SolveDiodeVoltage(Sample capacitorC3, Sample capacitorC2, Sample capacitorC1,
                           Sample input) {
        if constexpr (kLanes == 1) {
            int iterations = 0;
            double step = 1.0;
            while (std::fabs(step) > kNewtonTolerance) {
                if (iterations == kMaxNewtonIterations) {
                    break;
                }
                ++iterations;
                const double newV = NewtonStep(v_, capacitorC3, capacitorC2, capacitorC1, input);
                step = newV - v_;
                v_ = newV;
            }
            lastIterations_[0] = iterations;
        } else {
            // Both lanes step together while either iterates. A lane whose step has fallen
            // within the tolerance keeps its V and its count from then on, exactly where it
            // would have stopped on its own; until then both lanes count alike, so one cap
            // serves both.
            using LaneMask = decltype(Sample{} < Sample{});
            LaneMask iterating = {-1, -1};
            LaneMask counts = {0, 0};
            int iterations = 0;
            Sample v = v_;
            while ((iterating[0] | iterating[1]) != 0) {
                if (iterations == kMaxNewtonIterations) {
                    break;
                }
                ++iterations;
                const Sample newV = NewtonStep(v, capacitorC3, capacitorC2, capacitorC1, input);
                const Sample step = newV - v;
                v = iterating ? newV : v;
                counts = iterating ? LaneMask{iterations, iterations} : counts;
                iterating &= Abs(step) > kNewtonTolerance;
            }
            v_ = v;
            lastIterations_[0] = static_cast<int>(counts[0]);
            lastIterations_[1] = static_cast<int>(counts[1]);
        }
    }

    Sample NewtonStep(Sample v, Sample capacitorC3, Sample capacitorC2, Sample capacitorC1,
                      Sample input) const {
        Sample s;
        Sample ch;
        DiodeSinhCosh(v * kInverseNVt, s, ch);
        const Sample f = v - diodeTerm_ * s - capacitorC3 - capacitorC2 - capacitorC1 - input;
        const Sample j = 1.0 - diodeTerm_ * ch * kInverseNVt;
        return v - f / j;
    }

    // Both tables are sampled at the same arguments: one position serves both.
    void DiodeSinhCosh(Sample argument, Sample& s, Sample& ch) const {
        if constexpr (kLanes == 1) {
            const TableLookup::Position at = diodeLookup_.Locate(argument);
            s = TableLookup::At(sinhTable_, at);
            ch = TableLookup::At(coshTable_, at);
        } else {
            const TableLookup::Position at0 = diodeLookup_.Locate(argument[0]);
            const TableLookup::Position at1 = diodeLookup_.Locate(argument[1]);
            s = Sample{TableLookup::At(sinhTable_, at0), TableLookup::At(sinhTable_, at1)};
            ch = Sample{TableLookup::At(coshTable_, at0), TableLookup::At(coshTable_, at1)};
        }
    }

    TableLookup diodeLookup_;  // the layout of both tables; reads sinhTable_ on its own
    const double* sinhTable_ = nullptr;
    const double* coshTable_ = nullptr;

    Sample rp_{};  // ohms, the Filter pot plus its end resistance
    // Companion conductances C / T in siemens of C1, C2, C3.
    Sample g1_{};
    Sample g2_{};
    Sample g3_{};

    // Coefficients of the eliminated network (iD = 1 / D and the q terms enter only as products).
    Sample kH_{};
    Sample kN_{};
    Sample kOut_{};
    Sample diodeTerm_{};  // qD 2 iD Is
    Sample iDqC_{};
    Sample qBiD_{};
    Sample qAiD_{};
    Sample qIniD_{};
    Sample raG1_{};  // Ra G1
    Sample g3Rl_{};  // G3 RL

    Sample v_{};  // volts across the diodes, kept as the next sample's first guess
    // History currents in amperes of C1, C2, C3.
    Sample sa_{};
    Sample sb_{};
    Sample sc_{};
    int lastIterations_[kLanes] = {};
};

// Built and computed as single stages only; pairs are joined from them.
template <>
BasicClipperStage<double>::BasicClipperStage();
template <>
void BasicClipperStage<double>::SetCoefficients(double sampleRate, double filter);

template <typename Sample>
BasicClipperStage<Sample>::BasicClipperStage() = default;

template <typename Sample>
void BasicClipperStage<Sample>::Join(const BasicClipperStage<double>& first,
                                     const BasicClipperStage<double>& second) {
    diodeLookup_ = first.diodeLookup_;
    sinhTable_ = first.sinhTable_;
    coshTable_ = first.coshTable_;
    rp_ = LanePair{first.rp_, second.rp_};
    g1_ = LanePair{first.g1_, second.g1_};
    g2_ = LanePair{first.g2_, second.g2_};
    g3_ = LanePair{first.g3_, second.g3_};
    kH_ = LanePair{first.kH_, second.kH_};
    kN_ = LanePair{first.kN_, second.kN_};
    kOut_ = LanePair{first.kOut_, second.kOut_};
    diodeTerm_ = LanePair{first.diodeTerm_, second.diodeTerm_};
    iDqC_ = LanePair{first.iDqC_, second.iDqC_};
    qBiD_ = LanePair{first.qBiD_, second.qBiD_};
    qAiD_ = LanePair{first.qAiD_, second.qAiD_};
    qIniD_ = LanePair{first.qIniD_, second.qIniD_};
    raG1_ = LanePair{first.raG1_, second.raG1_};
    g3Rl_ = LanePair{first.g3Rl_, second.g3Rl_};
    v_ = LanePair{first.v_, second.v_};
    sa_ = LanePair{first.sa_, second.sa_};
    sb_ = LanePair{first.sb_, second.sb_};
    sc_ = LanePair{first.sc_, second.sc_};
    lastIterations_[0] = first.lastIterations_[0];
    lastIterations_[1] = second.lastIterations_[0];
}

template <typename Sample>
void BasicClipperStage<Sample>::Split(BasicClipperStage<double>& first,
                                      BasicClipperStage<double>& second) const {
    first.v_ = v_[0];
    first.sa_ = sa_[0];
    first.sb_ = sb_[0];
    first.sc_ = sc_[0];
    first.lastIterations_[0] = lastIterations_[0];
    second.v_ = v_[1];
    second.sa_ = sa_[1];
    second.sb_ = sb_[1];
    second.sc_ = sc_[1];
    second.lastIterations_[0] = lastIterations_[1];
}

using ClipperStage = BasicClipperStage<double>;
