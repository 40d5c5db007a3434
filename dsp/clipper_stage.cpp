#include "dsp/clipper_stage.h"

#include "dsp/diode_tables.h"

template <>
BasicClipperStage<double>::BasicClipperStage() {
    const DiodeTables& tables = DiodeTables::Shared();
    const double first = DiodeTables::kFirstArgument;
    sinhTable_ = tables.Sinh();
    coshTable_ = tables.Cosh();
    diodeLookup_.Configure(sinhTable_, DiodeTables::kCount, first, -first, first,
                           DiodeTables::kLookupScale);
}

// Fixed parts: C1 = 4.7 uF, C2 = 3.3 nF, C3 = 22 nF, Ra = 1000 ohms, RL = 1 Mohm. D and the q
// terms come from eliminating h, n and out from the node equation at the diodes; every product
// runs left to right and every sum in the order written.
template <>
void BasicClipperStage<double>::SetCoefficients(double sampleRate, double filter) {
    const double t = 1.0 / sampleRate;
    const double rp = 100000.0 * filter + 1500.0;
    const double g1 = 4.7e-6 / t;
    const double g2 = 3.3e-9 / t;
    const double g3 = 2.2000000000000002e-8 / t;

    const double d = g2 * g1 * g3 * 1000.0 * 1e6 + g2 * g1 * g3 * rp * 1e6 + g3 * g2 * 1e6 +
                     g3 * g1 * 1e6 + rp * g3 * g1 + rp * g2 * g1 + 1000.0 * g3 * g1 +
                     1000.0 * g2 * g1 + g3 + g2 + g1;
    const double iD = 1.0 / d;
    const double qIn = g2 * g1 * g3 * rp * 1e6 + g3 * g1 * 1e6 + rp * g3 * g1 + rp * g2 * g1 + g1;
    const double qA = -g2 * g3 * rp * 1e6 - 1e6 * g3 - rp * g3 - rp * g2 - 1.0;
    const double qB = 1000.0 * g3 * g1 * 1e6 + 1e6 * g3 + 1000.0 * g1 + 1.0;
    const double qC = 1000.0 * g1 + 1.0;
    const double qD = -g1 * g2 * g3 * 1000.0 * rp * 1e6 - g3 * g2 * rp * 1e6 -
                      1000.0 * g3 * g1 * 1e6 - 1e6 * g3 - 1000.0 * g3 * g1 * rp -
                      1000.0 * g2 * g1 * rp - rp * g3 - rp * g2 - 1000.0 * g1 - 1.0;
    kH_ = 1.0 / (1000.0 * g1 + 1.0);
    kN_ = 1.0 / (rp * g2 * g3 * 1e6 + 1e6 * g3 + 1.0 + rp * g2 + rp * g3);
    kOut_ = 1.0 / (1e6 * g3 + 1.0);

    // Left-to-right prefixes of the products in the Newton step: identical roundings, computed
    // once here instead of once per iteration.
    diodeTerm_ = qD * 2.0 * iD * kSaturationAmps;
    iDqC_ = iD * qC;
    qBiD_ = qB * iD;
    qAiD_ = qA * iD;
    qIniD_ = qIn * iD;
    raG1_ = kRa * g1;
    g3Rl_ = g3 * kRl;

    rp_ = rp;
    g1_ = g1;
    g2_ = g2;
    g3_ = g3;
}
