// The diode clipping network: input coupling capacitor C1, Ra into an anti-parallel diode pair,
// the Filter pot Rp into C2 to ground, then C3 into a 1 Mohm load. Capacitors use backward-Euler
// companion models; the diode voltage is solved per sample by a bounded Newton iteration on
// tabulated sinh / cosh. SetCoefficients outside the audio path; Process once per sample; the
// state survives coefficient changes. Owned by one ChannelEngine, used on one thread at a time.
#pragma once

#include <cmath>

#include "dsp/table_lookup.h"

class ClipperStage {
public:
    static constexpr int kMaxNewtonIterations = 1000;

    // Connects to the process-wide sinh / cosh tables, building them on first use.
    ClipperStage();

    // sampleRate in Hz; filter is the tapered Filter value f, 0..1, which sets the series
    // resistance Rp = 100000 f + 1500 ohms.
    void SetCoefficients(double sampleRate, double filter);

    // Input and output in volts.
    double Process(double x) {
        const double vin = x + 1e-25;

        // The terms of the node equation that do not depend on V, each product left to right.
        const double capacitorC3 = iDqC_ * sc_;
        const double capacitorC2 = qBiD_ * sb_;
        const double capacitorC1 = qAiD_ * sa_;
        const double input = qIniD_ * vin;

        // Newton on F(V) = 0, F being the node equation at the diodes, starting from the
        // previous sample's V; diode current 2 Is sinh(V / nVt).
        int iterations = 0;
        double step = 1.0;
        while (std::fabs(step) > kNewtonTolerance) {
            if (iterations == kMaxNewtonIterations) {
                break;
            }
            ++iterations;
            // Both tables are sampled at the same arguments: one position serves both.
            const TableLookup::Position at = diodeLookup_.Locate(v_ * kInverseNVt);
            const double s = TableLookup::At(sinhTable_, at);
            const double ch = TableLookup::At(coshTable_, at);
            const double f = v_ - diodeTerm_ * s - capacitorC3 - capacitorC2 - capacitorC1 - input;
            const double j = 1.0 - diodeTerm_ * ch * kInverseNVt;
            const double newV = v_ - f / j;
            step = newV - v_;
            v_ = newV;
        }
        lastIterations_ = iterations;

        const double h = (raG1_ * vin - kRa * sa_ + v_) * kH_;
        const double n = (rp_ * sb_ + v_ + g3Rl_ * v_ + g3Rl_ * sb_ * rp_ + rp_ * sc_) * kN_;
        sa_ = (vin - h) * g1_;
        sb_ = g2_ * n;
        const double out = (n * g3_ - sc_) * kRl * kOut_;
        sc_ = (n - out) * g3_;
        return out;
    }

    // Newton iterations the last Process needed (1 .. kMaxNewtonIterations).
    int LastIterations() const { return lastIterations_; }

private:
    static constexpr double kRa = 1000.0;                     // ohms, into the diodes
    static constexpr double kRl = 1e6;                        // ohms, the load
    static constexpr double kSaturationAmps = 2.52e-9;        // Is of each diode
    static constexpr double kInverseNVt = 21.05263157894737;  // 1 / (0.0475 V)
    static constexpr double kNewtonTolerance = 1e-4;          // volts

    TableLookup diodeLookup_;  // the layout of both tables; reads sinhTable_ on its own
    const double* sinhTable_ = nullptr;
    const double* coshTable_ = nullptr;

    double rp_ = 0.0;  // ohms, the Filter pot plus its end resistance
    // Companion conductances C / T in siemens of C1, C2, C3.
    double g1_ = 0.0;
    double g2_ = 0.0;
    double g3_ = 0.0;

    // Coefficients of the eliminated network (iD = 1 / D and the q terms enter only as products).
    double kH_ = 0.0;
    double kN_ = 0.0;
    double kOut_ = 0.0;
    double diodeTerm_ = 0.0;  // qD 2 iD Is
    double iDqC_ = 0.0;
    double qBiD_ = 0.0;
    double qAiD_ = 0.0;
    double qIniD_ = 0.0;
    double raG1_ = 0.0;  // Ra G1
    double g3Rl_ = 0.0;  // G3 RL

    double v_ = 0.0;  // volts across the diodes, kept as the next sample's first guess
    // History currents in amperes of C1, C2, C3.
    double sa_ = 0.0;
    double sb_ = 0.0;
    double sc_ = 0.0;
    int lastIterations_ = 0;
};
