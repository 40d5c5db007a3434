#include "dsp/drive_stage.h"

#include "dsp/rail_table.h"

template <>
BasicDriveStage<double>::BasicDriveStage() {
    // The rail table spans ideal outputs +4 V .. -4 V in 0.01 V steps.
    rail_.Configure(RailTable(), kRailTableCount, 4.0, -4.0, 4.0, 100.0);
}

// Component values: R1 = 560 ohms, C1 = 4.7 uF, R2 = 47 ohms, C2 = 2.2 uF, C3 = 100 pF,
// C4 = 10 nF, R3 = 100 ohms; op-amp K1 = 0.0377 A/V into K2 = 10.6 Mohm (gain 400000, pole
// 1.5 Hz); Rp = 100000 d + 0.3 ohms. The polynomials below are the exact expansion of the
// network's node equations in fs and d; products in them run left to right.
template <>
void BasicDriveStage<double>::SetCoefficients(double sampleRate, double drive) {
    const double fs = sampleRate;
    const double d = drive;
    const double t = 1.0 / fs;

    g1_ = 9.4e-6 / t;  // 2 C1 / T
    g2_ = 4.4e-6 / t;  // 2 C2 / T
    g3_ = 2e-10 / t;   // 2 C3 / T
    g4_ = 2e-8 / t;    // 2 C4 / T

    const double q = 400001.0 + 2188.53908553 * fs + 0.436896481439 * fs * fs +
                     7.65387237831e-07 * fs * fs * fs + 4.58257654236e-17 * fs * fs * fs * fs +
                     d * (9.38002 * fs + 0.339126428437 * fs * fs + 0.0005414935902 * fs * fs * fs +
                          1.52752551412e-11 * fs * fs * fs * fs);
    const double pb = 1.0 + 0.00685494006 * fs + 3.60667926705e-06 * fs * fs +
                      2.15948832e-16 * fs * fs * fs +
                      d * (1.38002 * fs + 0.002510689016 * fs * fs + 7.1982944e-11 * fs * fs * fs);
    const double pc = 1.0 + 0.00547494006 * fs + 1.09612718425e-06 * fs * fs +
                      6.5315712e-17 * fs * fs * fs +
                      d * (1.38002 * fs + 0.002510661416 * fs * fs + 2.1771904e-11 * fs * fs * fs);
    invQ_ = 1.0 / q;
    invPB_ = 1.0 / pb;
    invPC_ = 1.0 / pc;

    ax_ =
        0.0376991118431 + 0.000258425152 * fs + 1.35968605071e-07 * fs * fs +
        8.14107916995e-18 * fs * fs * fs +
        d * (0.0520255283257 * fs + 9.46507460174e-05 * fs * fs + 2.71369305665e-12 * fs * fs * fs);
    a4_ = pb;
    a3_ = 0.0113097335529 + 6.18732903213e-05 * fs + 1.2311721659e-08 * fs * fs +
          d * (3769.91118431 + 20.6244301071 * fs + 0.00410390721966 * fs * fs);
    a1_ = -3.78122091786 - 0.000781956712008 * fs - 4.67770579749e-14 * fs * fs +
          d * (-3769.91118431 - 0.779693031139 * fs - 1.55923526583e-08 * fs * fs);
    a2_ = -3.78122091786 - 0.0199043471378 * fs - 1.19068874845e-12 * fs * fs +
          d * (-3769.91118431 - 19.8448878724 * fs - 3.96896249484e-07 * fs * fs);

    bv_ = pc;
    b1_ = 100.0 + 0.020680006 * fs + 1.2408e-12 * fs * fs + d * (0.002 * fs + 4.136e-07 * fs * fs);
    b3_ = 0.000414 * fs + 7.531656e-07 * fs * fs + d * (138.0 * fs + 0.2510552 * fs * fs);
    b2_ = 100.0 + 0.526400006 * fs + 3.1584e-11 * fs * fs + d * (0.002 * fs + 1.0528e-05 * fs * fs);

    co_ = 1.0 + 0.00547080006 * fs + 1.08859552825e-06 * fs * fs + 6.5315712e-17 * fs * fs * fs +
          d * (2e-05 * fs + 1.09416e-07 * fs * fs + 2.1771904e-11 * fs * fs * fs);
    c3_ = -0.3 - 0.00164124 * fs - 3.2657856e-07 * fs * fs +
          d * (-100000.0 - 547.08 * fs - 0.10885952 * fs * fs);
    c1_ = 0.3 + 6.204e-05 * fs + d * (100000.0 + 20.68 * fs);
    c2_ = 0.3 + 0.0015792 * fs + d * (100000.0 + 526.4 * fs);

    kB_ = 1.0 / (1.0 + 0.005264 * fs);   // 1 / (1 + R1 G1)
    kA_ = 1.0 / (1.0 + 0.0002068 * fs);  // 1 / (1 + R2 G2)
}
