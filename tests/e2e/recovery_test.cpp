// How ORV Q12 comes through what hosts and signals throw at it: values that are not finite on
// every host path, low host rates, huge samples, and whatever else leaves a filter state that
// is not finite. Identically driven twins are the reference.
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "tests/e2e/chunk_bytes.h"
#include "tests/e2e/render_helpers.h"

using namespace vst2;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

const std::vector<double> kDefaults = {1.0, 5.0, 5.0, 5.0, 0.0, 1.0, 0.0};

std::vector<double> With(std::vector<double> values, int index, double value) {
    values[static_cast<size_t>(index)] = value;
    return values;
}

// The same effect in both precisions on a tone; the double result.
Stereo Play(const host::HostedEffect& fx, double rate = kRate, int frames = 2048) {
    const std::vector<double> tone = Sine(frames, 441, 0.3, rate);
    return Render(fx, tone, tone, 512);
}

}  // namespace

// A value that is not finite, by whichever path it comes, leaves its parameter as it was, and
// the rest of a load goes on: the effect then plays exactly as a twin that never saw it.
TEST_F(ModuleTest, ValuesThatAreNotFiniteLeaveTheirParameterAsItWas) {
    for (double bad : {kNaN, kInf, -kInf}) {
        for (int index = 0; index < 7; ++index) {
            host::HostedEffect fx = CreateOpened();
            host::HostedEffect twin = CreateOpened();
            // A program chunk that also switches Quality and Stereo.
            const std::vector<double> loaded = {1.5, 7.0, 2.0, 6.0, 1.0, 0.0, 0.0};
            EXPECT_EQ(SetChunk(fx, false, ProgramChunk(With(loaded, index, bad))), 1);
            EXPECT_EQ(SetChunk(twin, false, ProgramChunk(With(loaded, index, kDefaults[index]))),
                      1);
            for (int i = 0; i < 7; ++i) {
                EXPECT_EQ(fx.GetParameter(i), twin.GetParameter(i)) << bad << " in " << index;
                EXPECT_EQ(fx.Text(effGetParamDisplay, i), twin.Text(effGetParamDisplay, i));
            }
            ASSERT_EQ(Play(fx), Play(twin)) << bad << " in parameter " << index;
        }
    }

    // setParameter: Drive 5, then a value that is not finite, then 7, gets 7's coefficients.
    host::HostedEffect fx = CreateOpened();
    host::HostedEffect twin = CreateOpened();
    for (float bad :
         {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
          -std::numeric_limits<float>::infinity()}) {
        for (int index = 0; index < 7; ++index) fx.SetParameter(index, bad);
    }
    EXPECT_EQ(fx.GetParameter(1), 0.5f);
    fx.SetParameter(1, 0.7f);
    twin.SetParameter(1, 0.7f);
    EXPECT_EQ(Play(fx), Play(twin));

    // A program change restoring a bank's preset that carries NaN for Volume, the rest as now.
    Bytes bank = kHeader;
    const std::string name = "poisoned";
    const std::int32_t length = static_cast<std::int32_t>(name.size());
    bank.insert(bank.end(), reinterpret_cast<const std::uint8_t*>(&length),
                reinterpret_cast<const std::uint8_t*>(&length) + 4);
    bank.insert(bank.end(), name.begin(), name.end());
    bank.push_back(1);
    Bytes values = GetChunk(fx, false);
    std::memcpy(values.data() + kHeader.size() + 3 * 8, &kNaN, 8);
    bank.insert(bank.end(), values.begin() + kHeader.size(), values.end());
    EXPECT_EQ(SetChunk(fx, true, bank), 1);
    fx.Dispatch(effSetProgram, 0, 0);
    EXPECT_EQ(fx.Text(effGetParamDisplay, 3), "5.000");
    EXPECT_EQ(Play(fx), Play(twin));
}

// Below twice the pre-filter's 15.9 kHz corner at the oversampled rate (hosts at 8 to 10.6 kHz
// with Quality off) the filter used to run away and leave the effect silent for good.
TEST_F(ModuleTest, EveryHostRateFromEightKilohertzUpPlays) {
    host::HostedEffect fx = CreateOpened();
    for (float quality : {0.0f, 1.0f}) {
        fx.SetParameter(5, quality);
        for (float rate : {8000.0f, 9000.0f, 10600.0f, 11025.0f, 16000.0f, 22050.0f}) {
            fx.Dispatch(effSetSampleRate, 0, 0, nullptr, rate);
            const Stereo out = Play(fx, rate, 4096);
            ASSERT_TRUE(AllFinite(out)) << rate << " Hz, Quality " << quality;
            const std::vector<double> tail(out.left.begin() + 2048, out.left.end());
            EXPECT_GT(Magnitude(tail, 441, rate), 0.05) << rate << " Hz, Quality " << quality;
        }
    }
    // Back at 44.1 kHz with Quality on, it sounds as a fresh instance does.
    fx.Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    host::HostedEffect fresh = CreateOpened();
    const double level = Magnitude(Play(fx).left, 441);
    EXPECT_NEAR(level, Magnitude(Play(fresh).left, 441), 0.01 * level);
}

// A sample that is finite but overflows with the input gain counts as silence, like one that
// arrives infinite.
TEST_F(ModuleTest, SamplesThatOverflowWithTheInputGainCountAsSilence) {
    host::HostedEffect fx = CreateOpened();
    host::HostedEffect twin = CreateOpened();
    for (const host::HostedEffect* e : {&fx, &twin}) {
        e->SetParameter(0, 1.0f);  // Input 2
        e->SetParameter(4, 1.0f);
    }
    std::vector<double> dirty = Sine(1024, 440, 0.5), clean = dirty;
    dirty[300] = 1e308;
    dirty[301] = -1e308;
    clean[300] = clean[301] = 0.0;
    EXPECT_EQ(Render(fx, dirty, dirty, 512), Render(twin, clean, clean, 512));
    const std::vector<double> next = Sine(1024, 440, 0.5);
    EXPECT_EQ(Render(fx, next, next, 512), Render(twin, next, next, 512));
}

// Whatever happens, finite input gives finite output again within one block, and sound at the
// current settings: after every step of a long seeded sequence of hostile and ordinary events,
// the next block of a tone is finite, and the blocks after it carry the tone at the level of a
// fresh instance given the same rate and parameters. Huge finite samples still overflow inside
// the filters (1e308 with Input at 1 passes the gain), so the engines must heal themselves.
TEST_F(ModuleTest, AfterAnyEventFiniteInputPlaysAgainWithinOneBlock) {
    host::HostedEffect fx = CreateOpened();
    std::mt19937 random(20241209);
    auto pick = [&random](const std::vector<double>& choices) {
        return choices[random() % choices.size()];
    };
    const std::vector<double> hostile = {kNaN, kInf, -kInf, 1e308, -1e308, 1e300, 3e38, -7.5};
    const std::vector<double> rates = {8000, 11025, 22050, 44100, 48000, 96000, 192000};
    double rate = kRate;
    for (int step = 0; step < 30; ++step) {
        const int event = static_cast<int>(random() % 5);
        switch (event) {
            case 0: {  // a block of huge and non-finite samples, on both inputs
                std::vector<double> left = Sine(512, 441, 0.3, rate), right = left;
                for (int i = 0; i < 8; ++i) {
                    left[random() % 512] = pick(hostile);
                    right[random() % 512] = pick(hostile);
                }
                Render(fx, left, right, 512);
                break;
            }
            case 1: {  // a program chunk, some of it hostile
                std::vector<double> values;
                for (int i = 0; i < 7; ++i) {
                    values.push_back(random() % 2
                                         ? pick(hostile)
                                         : std::uniform_real_distribution<>(0, 10)(random));
                }
                SetChunk(fx, false, ProgramChunk(values));
                break;
            }
            case 2:  // a parameter from the host, some values hostile
                fx.SetParameter(static_cast<int32>(random() % 7),
                                random() % 2 ? static_cast<float>(pick(hostile))
                                             : std::uniform_real_distribution<float>(0, 1)(random));
                break;
            case 3:  // a new rate
                rate = pick(rates);
                fx.Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
                break;
            default:  // the host switches processing off and on
                fx.Dispatch(effMainsChanged, 0, 0);
                fx.Dispatch(effMainsChanged, 0, 1);
                break;
        }

        const std::vector<double> tone = Sine(512, 441, 0.3, rate);
        ASSERT_TRUE(AllFinite(Render(fx, tone, tone, 512)))
            << "step " << step << ", event " << event;

        host::HostedEffect twin = CreateOpened();
        twin.Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
        ASSERT_EQ(SetChunk(twin, false, GetChunk(fx, false)), 1);
        const std::vector<double> more = Sine(4096, 441, 0.3, rate);
        const Stereo played = Render(fx, more, more, 512);
        const Stereo expected = Render(twin, more, more, 512);
        const std::vector<double> tail(played.left.begin() + 2048, played.left.end());
        const std::vector<double> twinTail(expected.left.begin() + 2048, expected.left.end());
        const double level = Magnitude(tail, 441, rate);
        const double twinLevel = Magnitude(twinTail, 441, rate);
        if (twinLevel > 1e-3) {
            EXPECT_GT(level, 0.5 * twinLevel) << "step " << step << ", event " << event;
            EXPECT_LT(level, 2.0 * twinLevel) << "step " << step << ", event " << event;
        }
        twin.Close();
        effects_.pop_back();
    }
}
