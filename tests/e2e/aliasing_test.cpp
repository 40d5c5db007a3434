// Aliasing, the reason for oversampling: a 4567 Hz sine at full drive, measured as the
// strongest spectral component that is not a harmonic of 4567 Hz, relative to the fundamental.
#include <cmath>
#include <complex>
#include <cstdio>
#include <vector>

#include "tests/e2e/module_fixture.h"

using namespace vst2;

namespace {

constexpr double kRate = 48000;
constexpr double kTone = 4567;
constexpr int kSize = 1 << 16;

void Fft(std::vector<std::complex<double>>& a) {
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> step = std::polar(1.0, -2 * kPi / len);
        for (std::size_t i = 0; i < n; i += len) {
            std::complex<double> w = 1;
            for (std::size_t k = 0; k < len / 2; ++k, w *= step) {
                const std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
}

struct Alias {
    double hz;
    double db;  // relative to the fundamental
};

// The strongest component that is not a harmonic of the tone.
Alias WorstAlias(const std::vector<double>& signal) {
    std::vector<std::complex<double>> spectrum(kSize);
    for (int i = 0; i < kSize; ++i) {
        // 4-term Blackman-Harris: side lobes below -92 dB, main lobe 4 bins wide.
        const double x = 2 * kPi * i / kSize;
        const double w =
            0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2 * x) - 0.01168 * std::cos(3 * x);
        spectrum[i] = w * signal[signal.size() - kSize + i];
    }
    Fft(spectrum);
    const double binHz = kRate / kSize;
    double fundamental = 0, worst = 0, worstHz = 0;
    for (int bin = 1; bin < kSize / 2; ++bin) {
        const double hz = bin * binHz;
        const double magnitude = std::abs(spectrum[bin]);
        const double harmonic = std::round(hz / kTone);
        const bool nearHarmonic = harmonic >= 1 && std::fabs(hz - harmonic * kTone) < 6 * binHz;
        if (std::fabs(hz - kTone) < 6 * binHz) fundamental = std::max(fundamental, magnitude);
        if (!nearHarmonic && hz > 30 && magnitude > worst) worst = magnitude, worstHz = hz;
    }
    return {worstHz, 20 * std::log10(worst / fundamental)};
}

}  // namespace

TEST_F(ModuleTest, FourTimesOversamplingAliasesLessThanTwoTimes) {
    double aliasDb[2];
    for (int quality = 0; quality < 2; ++quality) {
        host::HostedEffect fx = CreateOpened();
        fx.Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
        fx.SetParameter(1, 1.0f);
        fx.SetParameter(5, static_cast<float>(quality));
        const int frames = kSize + 24000;
        std::vector<double> in(frames), out0(frames), out1(frames);
        for (int i = 0; i < frames; ++i) in[i] = 0.5 * std::sin(2 * kPi * kTone * i / kRate);
        for (int at = 0; at < frames; at += 512) {
            double* inputs[] = {in.data() + at, in.data() + at};
            double* outputs[] = {out0.data() + at, out1.data() + at};
            fx.ProcessDoubleReplacing(inputs, outputs, std::min(512, frames - at));
        }
        const Alias alias = WorstAlias(out0);
        aliasDb[quality] = alias.db;
        std::printf("Quality %d: strongest non-harmonic component at %.1f Hz, %.1f dB\n", quality,
                    alias.hz, alias.db);
    }
    EXPECT_LT(aliasDb[1], aliasDb[0] - 6) << "4x must alias clearly less than 2x";
    EXPECT_LT(aliasDb[1], -30.0);
}
