#include "dsp/oversampler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "dsp/allpass_cascade.h"
#include "dsp/halfband_filter.h"
#include "signal_helpers.h"

namespace {

using Complex = std::complex<double>;

constexpr double kHostRate = 44100.0;

std::vector<double> Upsampled(Oversampler& oversampler, const std::vector<double>& in) {
    std::vector<double> out(in.size() * static_cast<size_t>(oversampler.Factor()));
    oversampler.Upsample(in.data(), out.data(), static_cast<int>(in.size()));
    return out;
}

std::vector<double> Downsampled(Oversampler& oversampler, const std::vector<double>& in) {
    std::vector<double> out(in.size() / static_cast<size_t>(oversampler.Factor()));
    oversampler.Downsample(in.data(), out.data(), static_cast<int>(out.size()));
    return out;
}

Oversampler WithFactor(int factor) {
    Oversampler oversampler;
    oversampler.SetFactor(factor);
    return oversampler;
}

TEST(AllpassCascade, HasUnitMagnitudeOnEachLane) {
    for (double cyclesPerSample : {0.01, 0.1, 0.2, 0.3, 0.45}) {
        AllpassCascade cascade(kSteepHalfband.b);
        const int count = 20000;
        std::vector<double> in = Sine(1.0, cyclesPerSample * 1000.0, 1000.0, count);
        std::vector<double> lane0 = in;
        std::vector<double> lane1(count, 0.0);
        for (int i = 0; i < count; ++i) {
            cascade.ProcessPair(lane0[i], lane1[i]);
        }
        const int settle = count / 2;
        const double gain =
            std::abs(ToneAmplitude(lane0.data() + settle, settle, cyclesPerSample, 1.0)) /
            std::abs(ToneAmplitude(in.data() + settle, settle, cyclesPerSample, 1.0));
        EXPECT_NEAR(gain, 1.0, 1e-9) << cyclesPerSample;
        for (double sample : lane1) {
            ASSERT_EQ(sample, 0.0) << "lanes must not interact";
        }
    }
}

// A new oversampler, and any factor other than 1, 2, 4 or 8, copies.
TEST(Oversampler, FactorOneIsAnExactCopyBothWays) {
    const std::vector<double> in = Sine(0.7, 1234.0, kHostRate, 500);
    for (int factor : {1, 3, 0, 16}) {
        Oversampler oversampler = WithFactor(4);
        oversampler.SetFactor(factor);
        EXPECT_EQ(oversampler.Factor(), 1) << factor;
        EXPECT_EQ(Upsampled(oversampler, in), in) << factor;
        EXPECT_EQ(Downsampled(oversampler, in), in) << factor;
    }
}

TEST(Oversampler, EmptyBlocksWriteNothing) {
    Oversampler oversampler = WithFactor(4);
    double in = 1.0;
    double out = -7.0;
    oversampler.Upsample(&in, &out, 0);
    oversampler.Downsample(&in, &out, 0);
    EXPECT_EQ(out, -7.0);
}

// Every cascade is allpass, so each half-band passes DC with gain (1 + 1) / 2.
TEST(Oversampler, PassesDirectCurrentWithUnityGain) {
    for (int factor : {2, 4, 8}) {
        Oversampler oversampler = WithFactor(factor);
        const std::vector<double> ones(5000, 1.0);
        const std::vector<double> up = Upsampled(oversampler, ones);
        const std::vector<double> down = Downsampled(oversampler, up);
        for (size_t i = up.size() - 100; i < up.size(); ++i) {
            ASSERT_NEAR(up[i], 1.0, 1e-12) << factor;
        }
        EXPECT_NEAR(down.back(), 1.0, 1e-12) << factor;
    }
}

// Frequency responses, from filter theory, at a rate of 2 R. The half-band at z = e^(j omega):
// (A(z) + z^-1 B(z)) / 2 with A(z) = prod (a + z^-2) / (1 + a z^-2).
Complex Halfband(const HalfbandCoefficients& set, double omega) {
    const Complex z2inv = std::polar(1.0, -2.0 * omega);
    Complex a = 1.0;
    Complex b = 1.0;
    for (int i = 0; i < AllpassCascade::kSections; ++i) {
        a *= (set.a[i] + z2inv) / (1.0 + set.a[i] * z2inv);
        b *= (set.b[i] + z2inv) / (1.0 + set.b[i] * z2inv);
    }
    return 0.5 * (a + std::polar(1.0, -omega) * b);
}

// One up-sampling octave for a tone at theta (radians per input sample). The pairs (D v, v),
// D = (c + z^-1) / (1 + c z^-1), hold the tone at omega = theta / 2 with amplitude
// (D + e^(-j omega)) / 2 and its image at omega + pi with amplitude (D - e^(-j omega)) / 2; the
// half-band then weighs each.
struct OctaveGains {
    double tone;
    double image;
};

OctaveGains UpOctave(const HalfbandCoefficients& set, double theta) {
    const double c = 0.33333333;
    const Complex zinv = std::polar(1.0, -theta);
    const Complex d = (c + zinv) / (1.0 + c * zinv);
    const double omega = theta / 2.0;
    const Complex ideal = std::polar(1.0, -omega);
    return {std::abs((d + ideal) / 2.0 * Halfband(set, omega)),
            std::abs((d - ideal) / 2.0 * Halfband(set, omega + kPi))};
}

// A measured level relative to the tone against its prediction: within 0.1 dB, or, where the
// prediction lies under the arithmetic's own noise (the 4x image of the image), under -200 dB.
void ExpectLevel(double measured, double predicted, double hz) {
    const double bound = predicted < 1e-10 ? -200.0 : Decibels(predicted) + 0.1;
    EXPECT_LT(Decibels(measured), bound) << hz << " Hz";
    EXPECT_GT(Decibels(measured), std::min(bound, Decibels(predicted) - 0.1)) << hz << " Hz";
}

// An 18 kHz tone at 44.1 kHz, 4900-sample windows (2000 whole cycles). The predictions put the
// 26.1 kHz image at -130.6 dB and, at 4x, the second octave's images at -190 dB and below.
TEST(Oversampler, RejectsImagesAsItsFiltersPredict) {
    const double tone = 18000.0;
    const double theta = 2.0 * kPi * tone / kHostRate;
    const int window = 4900;
    const std::vector<double> in = Sine(1.0, tone, kHostRate, 4 * window);

    Oversampler twice = WithFactor(2);
    const std::vector<double> up2 = Upsampled(twice, in);
    const double* last2 = up2.data() + up2.size() - 2 * window;
    const double rate2 = 2 * kHostRate;
    const OctaveGains first = UpOctave(kSteepHalfband, theta);
    const double tone2 = std::abs(ToneAmplitude(last2, 2 * window, tone, rate2));
    const double image2 = std::abs(ToneAmplitude(last2, 2 * window, kHostRate - tone, rate2));
    EXPECT_NEAR(tone2, first.tone, 1e-6);
    ExpectLevel(image2 / tone2, first.image / first.tone, kHostRate - tone);

    // At 4x the second octave (gentle half-band at 88.2 kHz) sees the tone and the first image.
    Oversampler fourTimes = WithFactor(4);
    const std::vector<double> up4 = Upsampled(fourTimes, in);
    const double* last4 = up4.data() + up4.size() - 4 * window;
    const double rate4 = 4 * kHostRate;
    const double theta2 = 2.0 * kPi * (kHostRate - tone) / rate2;
    const OctaveGains ofTone = UpOctave(kGentleHalfband, theta / 2.0);
    const OctaveGains ofImage = UpOctave(kGentleHalfband, theta2);
    const double toneLevel = first.tone * ofTone.tone;
    const struct {
        double hz;
        double predicted;
    } images[] = {{kHostRate - tone, first.image * ofImage.tone},
                  {2 * kHostRate - tone, first.tone * ofTone.image},
                  {kHostRate + tone, first.image * ofImage.image}};
    const double tone4 = std::abs(ToneAmplitude(last4, 4 * window, tone, rate4));
    EXPECT_NEAR(tone4, toneLevel, 1e-6);
    for (const auto& image : images) {
        const double level = std::abs(ToneAmplitude(last4, 4 * window, image.hz, rate4));
        ExpectLevel(level / tone4, image.predicted / toneLevel, image.hz);
    }
}

// Blocks of every awkward length around the 64-sample chunks, both ways, at every factor,
// against an oversampler fed one sample (one host-rate frame) per call: each sample carried
// through every octave before the next is read, as the algorithm is written.
TEST(Oversampler, ChunkedBlocksEqualASampleBySampleRun) {
    const int blocks[] = {1, 63, 64, 65, 127, 128, 129, 2, 200, 64 * 3 + 5, 0, 31, 300};
    std::mt19937 random(7);
    std::uniform_real_distribution<double> level(-1.0, 1.0);
    for (int factor : {1, 2, 4, 8}) {
        Oversampler chunked = WithFactor(factor);
        Oversampler single = WithFactor(factor);
        for (int n : blocks) {
            std::vector<double> in(static_cast<size_t>(n));
            for (double& v : in) v = level(random);
            std::vector<double> wide = Upsampled(chunked, in);
            std::vector<double> expected(wide.size());
            for (int i = 0; i < n; ++i) single.Upsample(&in[i], &expected[i * factor], 1);
            ASSERT_EQ(wide, expected) << "up, factor " << factor << ", block " << n;

            for (double& v : wide) v += 0.1 * level(random);
            const std::vector<double> down = Downsampled(chunked, wide);
            for (int i = 0; i < n; ++i) single.Downsample(&wide[i * factor], &expected[i], 1);
            expected.resize(in.size());
            ASSERT_EQ(down, expected) << "down, factor " << factor << ", block " << n;
        }
    }
}

// A tone after down-sampling, from the half-bands' responses: each octave weighs the tone by
// |H| at its frequency and, decimating, folds a tone above the new half rate back below it.
struct DownTone {
    double hz;
    double level;
};

DownTone PredictedDownTone(double hz, double rate, int octaves) {
    double level = 1.0;
    for (int i = 0; i < octaves; ++i) {
        level *= std::abs(Halfband(kSteepHalfband, 2.0 * kPi * hz / rate));
        rate /= 2.0;
        if (hz > rate / 2.0) hz = rate - hz;
    }
    return {hz, level};
}

// Tones at 2x and 4x the host rate, in the passband and beyond the host's half rate, measured
// at the host rate over 4900-sample windows (whole cycles of every multiple of 9 Hz).
TEST(Oversampler, DownsamplingWeighsAndFoldsTonesAsItsFiltersPredict) {
    const int window = 4900;
    for (int factor : {2, 4}) {
        const double wideRate = factor * kHostRate;
        for (double hz : {999.0, 9999.0, 18999.0, 25101.0, 30006.0, 39996.0, 60012.0, 80001.0}) {
            if (hz >= wideRate / 2.0) continue;
            Oversampler oversampler = WithFactor(factor);
            const std::vector<double> down =
                Downsampled(oversampler, Sine(1.0, hz, wideRate, 4 * window * factor));
            const DownTone predicted = PredictedDownTone(hz, wideRate, factor / 2);
            const double measured = std::abs(
                ToneAmplitude(down.data() + down.size() - window, window, predicted.hz, kHostRate));
            ExpectLevel(measured, predicted.level, hz);
        }
    }
}

TEST(Oversampler, SettingTheSameFactorClearsNothing) {
    for (int factor : {2, 4}) {
        Oversampler continued = WithFactor(factor);
        const std::vector<double> signal = Sine(0.5, 3000.0, kHostRate, 256);
        const std::vector<double> wide = Upsampled(continued, signal);
        Downsampled(continued, wide);
        Oversampler reset = continued;
        reset.SetFactor(factor);
        EXPECT_EQ(Upsampled(reset, signal), Upsampled(continued, signal));
        EXPECT_EQ(Downsampled(reset, wide), Downsampled(continued, wide));
    }
}

// The down-sampling filters hold only allpass lanes and a delay slot; a block ending in 0 leaves
// that slot as a new oversampler has it, so a cleared one must then match a new one exactly.
TEST(Oversampler, ChangingTheFactorClearsTheAllpassLanes) {
    Oversampler used = WithFactor(2);
    std::vector<double> wide = Sine(0.5, 3000.0, 2 * kHostRate, 512);
    wide.back() = 0.0;
    Downsampled(used, wide);
    used.SetFactor(4);
    used.SetFactor(2);
    Oversampler fresh = WithFactor(2);
    EXPECT_EQ(Downsampled(used, wide), Downsampled(fresh, wide));
}

// What is not finite stays in the filter states for good, and a state far beyond any signal
// takes long to decay; IsHealthy notices either in either direction, and Reset returns the
// oversampler to a new one's rest.
TEST(Oversampler, ResetBringsBackAnOversamplerPoisonedEitherWay) {
    const std::vector<double> clean = Sine(0.5, 3000.0, kHostRate, 256);
    const double poisons[] = {std::nan(""), HUGE_VAL, 1e300};
    for (int factor : {2, 4, 8}) {
        for (double poison : poisons) {
            for (bool upward : {true, false}) {
                Oversampler oversampler = WithFactor(factor);
                std::vector<double> in = clean;
                std::vector<double> wide = Upsampled(oversampler, in);
                ASSERT_TRUE(oversampler.IsHealthy());
                (upward ? in[100] : wide[100]) = poison;
                (upward ? in[101] : wide[101]) = -poison;
                if (upward) Upsampled(oversampler, in);
                Downsampled(oversampler, wide);
                EXPECT_FALSE(oversampler.IsHealthy()) << factor << " " << poison << " " << upward;

                oversampler.Reset();
                ASSERT_TRUE(oversampler.IsHealthy());
                Oversampler fresh = WithFactor(factor);
                EXPECT_EQ(Upsampled(oversampler, clean), Upsampled(fresh, clean));
                const std::vector<double> cleanWide = Upsampled(fresh, clean);
                EXPECT_EQ(Downsampled(oversampler, cleanWide), Downsampled(fresh, cleanWide));
            }
        }
    }
}

// Bit for bit, so that a NaN compares equal to a NaN.
bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

// Where the processor has 256-bit vectors, up-sampling runs a half-band's two cascades in one
// vector, and a stereo pair's down-sampling runs both channels' filters in one: every bit must
// come out as the two-lane path gives it, over blocks of any length (the states carry over from
// block to block), and what is not finite in one channel must not reach the other.
TEST(HalfbandFilter, LaneQuadsGiveTheBitsOfLanePairs) {
    if (!HasLaneQuads()) GTEST_SKIP() << "this processor has no 256-bit vectors";
    std::mt19937 random(11);
    std::uniform_real_distribution<double> level(-1.0, 1.0);
    HalfbandFilter quads(kSteepHalfband), pairs(kSteepHalfband);
    pairs.AllowLaneQuads(false);
    HalfbandFilter left(kSteepHalfband), right(kGentleHalfband);
    HalfbandFilter leftAlone(kSteepHalfband), rightAlone(kGentleHalfband);
    leftAlone.AllowLaneQuads(false);
    int block = 0;
    for (int n : {1, 63, 64, 65, 200, 0, 7, 130}) {
        std::vector<double> u(static_cast<size_t>(2 * n)), v(u.size());
        for (double& x : u) x = level(random);
        for (double& x : v) x = 1e3 * level(random);
        if (block == 7) u[5] = std::numeric_limits<double>::quiet_NaN();

        std::vector<double> y(u.size()), expected(u.size());
        quads.FilterPairs(u.data(), y.data(), n);
        pairs.FilterPairs(u.data(), expected.data(), n);
        ASSERT_TRUE(SameBits(y, expected)) << "FilterPairs, block " << block;

        std::vector<double> y0(static_cast<size_t>(n)), y1(y0.size());
        std::vector<double> e0(y0.size()), e1(y0.size());
        HalfbandFilter::FilterFirstOfPairs(left, u.data(), y0.data(), right, v.data(), y1.data(),
                                           n);
        HalfbandFilter::FilterFirstOfPairs(leftAlone, u.data(), e0.data(), rightAlone, v.data(),
                                           e1.data(), n);
        ASSERT_TRUE(SameBits(y0, e0)) << "first filter, block " << block;
        ASSERT_TRUE(SameBits(y1, e1)) << "second filter, block " << block;
        for (double x : y1) ASSERT_TRUE(std::isfinite(x)) << "block " << block;
        ++block;
    }
}

// A stereo pair down-samples exactly as each channel would alone, at every factor, and with
// different factors too.
TEST(Oversampler, DownsamplingAPairEqualsEachChannelAlone) {
    std::mt19937 random(5);
    std::uniform_real_distribution<double> level(-1.0, 1.0);
    for (const auto& [factor0, factor1] :
         std::vector<std::pair<int, int>>{{1, 1}, {2, 2}, {4, 4}, {8, 8}, {4, 2}}) {
        Oversampler first = WithFactor(factor0), second = WithFactor(factor1);
        Oversampler firstAlone = WithFactor(factor0), secondAlone = WithFactor(factor1);
        for (int n : {1, 64, 65, 300}) {
            std::vector<double> in0(static_cast<size_t>(n * factor0));
            std::vector<double> in1(static_cast<size_t>(n * factor1));
            for (double& x : in0) x = level(random);
            for (double& x : in1) x = level(random);
            std::vector<double> out0(static_cast<size_t>(n)), out1(out0.size());
            Oversampler::DownsamplePair(first, in0.data(), out0.data(), second, in1.data(),
                                        out1.data(), n);
            EXPECT_EQ(out0, Downsampled(firstAlone, in0)) << factor0 << ", block " << n;
            EXPECT_EQ(out1, Downsampled(secondAlone, in1)) << factor1 << ", block " << n;
        }
    }
}

}  // namespace
