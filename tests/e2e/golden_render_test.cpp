// Golden renders: fixed signals and settings through every built module, each output reduced to a
// 64-bit FNV-1a fingerprint of its bytes and compared with the one recorded on this platform, the
// same for every format: the formats differ only in how they reach the one effect.
// Every output bit counts: FNV-1a changes with any single changed byte, and an unintended match
// after several changes is a 1 in 2^64 chance. This is what lets the audio path be reworked for
// speed with proof that it still sounds exactly as before. After an intended change of the
// sound, run the suite and copy the lines it prints into the platform's table.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "host/white_noise.h"
#include "tests/e2e/format_fixture.h"
#include "tests/e2e/golden_renders.h"

namespace {

// sin(2 pi cycles) from +, -, * and / alone (and the exact floor), so that every platform feeds
// the module the same bits and only the module's own library calls can tell them apart.
double PortableSine(double cycles) {
    const double x = kPi * (2.0 * (cycles - std::floor(cycles)) - 1.0);  // -pi .. pi
    double term = x, sum = x;
    for (int k = 1; k < 30; ++k) {
        term *= -x * x / ((2.0 * k) * (2.0 * k + 1.0));
        sum += term;
    }
    return -sum;  // sin(x + pi)
}

enum class Signal {
    kSines,  // 220 Hz at 0.5 on the left, 330 Hz at 0.3 on the right
    kNoise,  // full-scale noise on both, independent
    kMixed,  // the left's sine and the right's noise: the lanes need different Newton counts
};

Stereo MakeSignal(Signal signal, double rate, int frames) {
    Stereo s{std::vector<double>(frames), std::vector<double>(frames)};
    host::WhiteNoise left(1), right(2);
    for (int i = 0; i < frames; ++i) {
        const double t = i / rate;
        const double sineL = 0.5 * PortableSine(220.0 * t);
        const double noiseR = right.Next();
        s.left[i] = signal == Signal::kNoise ? left.Next() : sineL;
        s.right[i] = signal == Signal::kSines ? 0.3 * PortableSine(330.0 * t) : noiseR;
    }
    return s;
}

std::uint64_t Fingerprint(std::uint64_t hash, const void* bytes, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(bytes);
    for (std::size_t i = 0; i < size; ++i) hash = (hash ^ p[i]) * 0x100000001b3ull;
    return hash;
}

constexpr std::uint64_t kFnvOffset = 0xcbf29ce484222325ull;

std::uint64_t Fingerprint(const Stereo& out) {
    std::uint64_t hash = Fingerprint(kFnvOffset, out.left.data(), out.left.size() * 8);
    return Fingerprint(hash, out.right.data(), out.right.size() * 8);
}

// Single precision: the fingerprint of the float output.
std::uint64_t RenderFloatFingerprint(host::PluginInstance& fx, const Stereo& in, int block) {
    const std::size_t frames = in.left.size();
    std::vector<float> left(in.left.begin(), in.left.end());
    std::vector<float> right(in.right.begin(), in.right.end());
    std::vector<float> out0(frames), out1(frames);
    for (std::size_t at = 0; at < frames; at += block) {
        const int n = static_cast<int>(std::min<std::size_t>(block, frames - at));
        float* inputs[] = {left.data() + at, right.data() + at};
        float* outputs[] = {out0.data() + at, out1.data() + at};
        fx.Process(inputs, outputs, n);
    }
    const std::uint64_t hash = Fingerprint(kFnvOffset, out0.data(), frames * 4);
    return Fingerprint(hash, out1.data(), frames * 4);
}

// Plain parameter values, handed over normalised as a host's automation would: as floats, which
// is what VST 2 takes, so that every format gets the very same values.
struct Knobs {
    double input = 1, drive = 5, filter = 5, volume = 5;
};

double AsFloat(double normalized) { return static_cast<float>(normalized); }

void SetKnobs(host::PluginInstance& fx, const Knobs& k) {
    fx.SetParam(0, AsFloat((k.input - 0.0001) / 1.9999));
    fx.SetParam(1, AsFloat(k.drive / 10));
    fx.SetParam(2, AsFloat(k.filter / 10));
    fx.SetParam(3, AsFloat(k.volume / 10));
}

struct Setting {
    const char* name;
    Signal signal;
    float rate;
    int block;
    bool doublePrecision;
    bool stereo;
    bool quality;
    Knobs knobs;
};

// Name; signal, host rate, block, double precision, stereo, Quality 1, knobs (Input, Drive,
// Filter, Volume).
// clang-format off
const Setting kSettings[] = {
    {"sines 44.1k stereo Q1 double 512",
     Signal::kSines, 44100, 512, true, true, true, {}},
    {"sines 48k mono Q1 float 256",
     Signal::kSines, 48000, 256, false, false, true, {1, 2, 8, 7}},
    {"sines 96k stereo Q0 double 1024",
     Signal::kSines, 96000, 1024, true, true, false, {0.5, 10, 0, 10}},
    {"sines 44.1k stereo Q0 double 512, Input 0.0001",
     Signal::kSines, 44100, 512, true, true, false, {0.0001, 5, 5, 10}},
    {"noise 48k stereo Q1 double 512, Drive 10 Input 2",
     Signal::kNoise, 48000, 512, true, true, true, {2, 10, 5, 5}},
    {"noise 44.1k mono Q0 float 64",
     Signal::kNoise, 44100, 64, false, false, false, {1, 0, 10, 3}},
    {"noise 96k mono Q1 double 5000",
     Signal::kNoise, 96000, 5000, true, false, true, {1.5, 7, 2, 5}},
    {"mixed 48k stereo Q0 float 37",
     Signal::kMixed, 48000, 37, false, true, false, {2, 10, 10, 10}},
    {"mixed 44.1k stereo Q1 float 1",
     Signal::kMixed, 44100, 1, false, true, true, {1, 3, 6, 5}},
};
// clang-format on

class GoldenRenderTest : public FormatTest {
protected:
    // A fresh instance at the rate and switches given.
    host::PluginInstance& Started(float rate, int block, bool stereo, bool quality) {
        host::PluginInstance& fx = FormatTest::Started(rate, block);
        fx.SetParam(4, stereo ? 1.0 : 0.0);
        fx.SetParam(5, quality ? 1.0 : 0.0);
        return fx;
    }

    void ExpectRecorded(const std::string& name, std::uint64_t hash) {
        const GoldenRender* recorded = nullptr;
        for (const GoldenRender* g = kGoldenRenders; g->name != nullptr; ++g) {
            if (name != g->name) continue;
            if (g->format == nullptr && recorded == nullptr) recorded = g;
            if (g->format != nullptr && std::string(g->format) == GetParam().format) recorded = g;
        }
        if (recorded == nullptr) {
            ADD_FAILURE() << "no recorded fingerprint for \"" << name << "\"";
            PrintRecord(name, hash);
            return;
        }
        EXPECT_EQ(recorded->hash, hash) << "render \"" << name << "\" changed";
        if (recorded->hash != hash) PrintRecord(name, hash);
    }

    void PrintRecord(const std::string& name, std::uint64_t hash) {
        std::printf("    {\"%s\", 0x%016llxull},  // %s\n", name.c_str(),
                    static_cast<unsigned long long>(hash), GetParam().format);
    }
};

}  // namespace

TEST_P(GoldenRenderTest, SignalsAndSettingsRenderAsRecorded) {
    for (const Setting& s : kSettings) {
        host::PluginInstance& fx = Started(s.rate, s.block, s.stereo, s.quality);
        SetKnobs(fx, s.knobs);
        const Stereo in = MakeSignal(s.signal, s.rate, static_cast<int>(s.rate / 2));
        ExpectRecorded(s.name, s.doublePrecision
                                   ? Fingerprint(Render(fx, in.left, in.right, s.block))
                                   : RenderFloatFingerprint(fx, in, s.block));
    }
}

// Knobs moving between blocks, Quality and Stereo switched while sound plays: coefficients change
// under running states, and the engines are prepared again and warmed up mid-stream.
TEST_P(GoldenRenderTest, AutomationRendersAsRecorded) {
    host::PluginInstance& fx = Started(48000, 512, true, true);
    const Stereo in = MakeSignal(Signal::kMixed, 48000, 60 * 512);
    Stereo out{std::vector<double>(in.left.size()), std::vector<double>(in.left.size())};
    for (int b = 0; b < 60; ++b) {
        SetKnobs(fx, {0.25 + (b * 7 % 8) * 0.25, (b * 37 % 101) / 10.0, (b * 53 % 101) / 10.0,
                      (b * 29 % 101) / 10.0});
        if (b == 20 || b == 40) fx.SetParam(5, b == 20 ? 0.0 : 1.0);
        if (b == 30) fx.SetParam(4, 0.0);
        double* inputs[] = {const_cast<double*>(in.left.data()) + b * 512,
                            const_cast<double*>(in.right.data()) + b * 512};
        double* outputs[] = {out.left.data() + b * 512, out.right.data() + b * 512};
        fx.Process(inputs, outputs, 512);
    }
    ExpectRecorded("automation 48k double 512", Fingerprint(out));
}

// Huge samples overflow inside the filters and the engines heal at the end of the block: the
// output from there on is part of the contract as well.
TEST_P(GoldenRenderTest, RecoveryFromHugeSamplesRendersAsRecorded) {
    host::PluginInstance& fx = Started(44100, 512, true, true);
    Stereo in = MakeSignal(Signal::kSines, 44100, 16 * 512);
    in.left[3000] = 1e300;
    in.left[3001] = -1e300;
    in.right[5000] = 1e300;
    ExpectRecorded("recovery 44.1k double 512", Fingerprint(Render(fx, in.left, in.right, 512)));
}

ORV_ON_EVERY_FORMAT(GoldenRenderTest);

// Plain values a float holds exactly and single-precision audio reach the effect unchanged in
// every format: each module plays them with the very bits the VST 2 module plays. The values go
// in index order, the order in which LV2 reads its ports (a change of Quality settles the
// engines with the knobs as they stand).
TEST_P(GoldenRenderTest, ExactValuesRenderAsTheVst2ModuleRendersThem) {
    host::PluginModule* vst2 = nullptr;
    for (const BuiltModule& built : BuiltModules()) {
        if (std::string(built.format) == "vst2") vst2 = LoadedModule(built);
    }
    ASSERT_NE(vst2, nullptr);
    const std::unique_ptr<host::PluginInstance> reference = vst2->CreateInstance();
    ASSERT_NE(reference, nullptr);
    host::PluginInstance& fx = FormatTest::Started(48000, 256);
    ASSERT_TRUE(reference->Start(48000, 256));
    for (host::PluginInstance* each : {&fx, reference.get()}) {
        ASSERT_TRUE(each->SetParamFromText(0, "1.25"));
        ASSERT_TRUE(each->SetParamFromText(1, "7.5"));
        ASSERT_TRUE(each->SetParamFromText(2, "2.75"));
        each->SetParam(4, 1.0);
        each->SetParam(5, 0.0);
    }
    const Stereo in = MakeSignal(Signal::kMixed, 48000, 24000);
    EXPECT_EQ(RenderFloatFingerprint(fx, in, 256), RenderFloatFingerprint(*reference, in, 256));
}
