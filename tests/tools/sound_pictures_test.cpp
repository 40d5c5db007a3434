// The pictures of the sound: the script runs and writes every picture, and the numbers each
// picture shows agree with measurements made here another way, straight through the module's
// entry point: no orv-render, no WAV files, no Python, and a different analysis.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "host/vst_host.h"
#include "tests/dsp/signal_helpers.h"

using namespace vst2;

namespace {

constexpr double kRate = 48000;
constexpr int kDrive = 1, kFilter = 2, kQuality = 5;
const std::string kOut = std::string(ORV_TEST_OUTPUT_DIR) + "/pictures";

// One picture's numbers: the CSV rows the script wrote beside it, header dropped.
using Table = std::vector<std::vector<std::string>>;

Table ReadTable(const std::string& name) {
    Table rows;
    std::ifstream file(kOut + "/" + name + ".csv");
    std::string line;
    std::getline(file, line);
    while (std::getline(file, line)) {
        std::vector<std::string> cells;
        std::stringstream cellsOf(line);
        for (std::string cell; std::getline(cellsOf, cell, ',');) cells.push_back(cell);
        rows.push_back(cells);
    }
    return rows;
}

double Number(const std::string& cell) { return std::strtod(cell.c_str(), nullptr); }

// A mono signal through a fresh effect at 48 kHz with the given plain parameter values, in
// blocks of 512 frames of 64-bit processing.
std::vector<double> Process(const std::vector<double>& in, const std::map<int, double>& params) {
    static std::unique_ptr<host::VstModule> module = [] {
        std::string error;
        auto loaded = host::VstModule::Load(ORV_MODULE_PATH, &error);
        if (!loaded) ADD_FAILURE() << error;
        return loaded;
    }();
    if (!module) return {};
    host::RecordingHost recordingHost;
    host::HostedEffect fx(recordingHost.Instantiate(module->Entry()));
    fx.Dispatch(effOpen);
    fx.Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
    fx.Dispatch(effSetBlockSize, 0, 512);
    for (const auto& [index, value] : params) {
        std::string text = std::to_string(value);
        fx.Dispatch(effString2Parameter, index, 0, text.data());
    }
    fx.Dispatch(effMainsChanged, 0, 1);
    std::vector<double> in1(in), out0(in.size()), out1(in.size());
    for (size_t at = 0; at < in.size(); at += 512) {
        double* inputs[] = {in1.data() + at, in1.data() + at};
        double* outputs[] = {out0.data() + at, out1.data() + at};
        fx.ProcessDoubleReplacing(inputs, outputs,
                                  static_cast<int>(std::min<size_t>(512, in.size() - at)));
    }
    fx.Close();
    return out0;
}

// Level in dB re full scale of the component at hz over the last count samples, which hold a
// whole number of its periods.
double LevelDb(const std::vector<double>& signal, int count, double hz) {
    return Decibels(
        std::abs(ToneAmplitude(signal.data() + signal.size() - count, count, hz, kRate)));
}

class SoundPicturesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::string command = std::string("/usr/bin/python3 ") + ORV_SOUND_PICTURES +
                                    " --orv-render " + ORV_RENDER + " --out " + kOut + " --data " +
                                    kOut + " >" + kOut + ".log 2>&1";
        std::system(("rm -rf " + kOut).c_str());
        exitCode_ = std::system(command.c_str());
    }
    static int exitCode_;
};
int SoundPicturesTest::exitCode_ = -1;

}  // namespace

TEST_F(SoundPicturesTest, TheScriptWritesEveryPicture) {
    ASSERT_EQ(exitCode_, 0) << "see " << kOut << ".log";
    for (const char* name : {"transfer-curve", "harmonics", "tone-control", "aliasing"}) {
        std::ifstream png(kOut + "/" + name + ".png", std::ios::binary);
        std::string signature(8, '\0');
        png.read(signature.data(), 8);
        EXPECT_EQ(signature, "\x89PNG\r\n\x1a\n") << name;
    }
}

TEST_F(SoundPicturesTest, TransferCurveEndsAreTheModulesOutputAndClippingGrowsWithDrive) {
    ASSERT_EQ(exitCode_, 0);
    const Table rows = ReadTable("transfer-curve");
    // The script's triangle: 120-sample ramps from -1 up and from +1 down, 200 periods.
    const int ramp = 120;
    std::vector<double> triangle;
    for (int period = 0; period < 200; ++period) {
        for (int i = 0; i < ramp; ++i) triangle.push_back(-1.0 + i * (2.0 / ramp));
        for (int i = 0; i < ramp; ++i) triangle.push_back(1.0 - i * (2.0 / ramp));
    }
    std::map<int, double> steepest, lastRising;
    for (int drive : {0, 5, 10}) {
        const std::vector<double> out = Process(triangle, {{kDrive, drive}});
        const double* lastPeriod = out.data() + out.size() - 2 * ramp;
        std::vector<std::pair<double, double>> rising, falling;
        for (const auto& row : rows) {
            if (Number(row[0]) != drive) continue;
            (row[1] == "rising" ? rising : falling).emplace_back(Number(row[2]), Number(row[3]));
        }
        ASSERT_EQ(rising.size(), size_t(ramp));
        ASSERT_EQ(falling.size(), size_t(ramp));
        EXPECT_EQ(rising.front().first, -1.0);
        EXPECT_EQ(falling.front().first, 1.0);
        EXPECT_NEAR(rising.front().second, lastPeriod[0], 1e-9) << "Drive " << drive;
        EXPECT_NEAR(falling.front().second, lastPeriod[ramp], 1e-9) << "Drive " << drive;
        EXPECT_NEAR(rising.back().second, lastPeriod[ramp - 1], 1e-9) << "Drive " << drive;
        for (int i = 1; i < ramp; ++i) {
            const double slope =
                (rising[i].second - rising[i - 1].second) / (rising[i].first - rising[i - 1].first);
            steepest[drive] = std::max(steepest[drive], slope);
        }
        lastRising[drive] = rising.back().second;
    }
    EXPECT_GT(steepest[5], 5 * steepest[0]);
    EXPECT_GT(steepest[10], steepest[5]);
    // Drive 5 and 10 both reach the clipper's limit; Drive 0 stays below it.
    EXPECT_NEAR(lastRising[5], lastRising[10], 0.1 * lastRising[10]);
    EXPECT_LT(lastRising[0], 0.9 * lastRising[5]);
}

TEST_F(SoundPicturesTest, HarmonicLevelsMatchASingleBinDftOfTheModulesOutput) {
    ASSERT_EQ(exitCode_, 0);
    const Table rows = ReadTable("harmonics");
    ASSERT_EQ(rows.size(), 3u * 22);
    std::map<int, std::vector<double>> levels;
    for (const auto& row : rows) levels[static_cast<int>(Number(row[0]))].push_back(Number(row[3]));
    for (int drive : {2, 5, 10}) {
        // One second holds 220 whole periods of every harmonic: no window, no leakage.
        const std::vector<double> out =
            Process(Sine(0.01, 220, kRate, static_cast<int>(2.5 * kRate)), {{kDrive, drive}});
        ASSERT_EQ(levels[drive].size(), 22u);
        for (int k = 1; k <= 22; ++k) {
            const double expected = LevelDb(out, static_cast<int>(kRate), 220.0 * k);
            if (expected < -140) continue;  // below what the picture shows
            EXPECT_NEAR(levels[drive][k - 1], expected, 0.01) << "Drive " << drive << " H" << k;
        }
    }
    // More drive, more distortion: the third harmonic relative to the fundamental.
    const auto h3 = [&](int drive) { return levels[drive][2] - levels[drive][0]; };
    EXPECT_LT(h3(2), h3(5) - 10);
    EXPECT_LT(h3(5), h3(10) - 10);
}

TEST_F(SoundPicturesTest, ToneCurvesMatchSinesAndDarkenAsFilterRises) {
    ASSERT_EQ(exitCode_, 0);
    const Table rows = ReadTable("tone-control");
    // The curve of one setting, interpolated in log frequency.
    const auto curve = [&](int drive, int filter, double hz) {
        double lowHz = 0, lowDb = 0;
        for (const auto& row : rows) {
            if (Number(row[0]) != drive || Number(row[1]) != filter) continue;
            const double f = Number(row[2]), g = Number(row[3]);
            if (f >= hz && lowHz > 0) {
                return lowDb + (g - lowDb) * std::log(hz / lowHz) / std::log(f / lowHz);
            }
            lowHz = f, lowDb = g;
        }
        ADD_FAILURE() << "no curve for Drive " << drive << " Filter " << filter << " at " << hz;
        return 0.0;
    };
    for (int drive : {0, 5}) {
        for (int filter : {0, 5, 10}) {
            for (double hz : {100.0, 1000.0, 5000.0, 12000.0}) {
                // Sines at the picture's level; 0.1 s holds whole periods of each.
                const std::vector<double> out =
                    Process(Sine(1e-3, hz, kRate, 30000), {{kDrive, drive}, {kFilter, filter}});
                EXPECT_NEAR(curve(drive, filter, hz), LevelDb(out, 4800, hz) + 60, 0.3)
                    << "Drive " << drive << " Filter " << filter << " at " << hz << " Hz";
            }
        }
    }
    // The tone control is a low-pass whose corner falls as Filter rises; the bass stays.
    for (double hz : {2000.0, 5000.0, 10000.0}) {
        EXPECT_GT(curve(0, 0, hz), curve(0, 5, hz) + 0.5) << hz;
        EXPECT_GT(curve(0, 5, hz), curve(0, 10, hz) + 5) << hz;
    }
    EXPECT_NEAR(curve(0, 0, 100), curve(0, 10, 100), 1.5);
    // Filter 10 puts 101.5 kohm before 3.3 nF: a corner near 475 Hz.
    const double bass = curve(0, 10, 100);
    EXPECT_GT(curve(0, 10, 300), bass - 3);
    EXPECT_LT(curve(0, 10, 1000), bass - 3);
}

TEST_F(SoundPicturesTest, StrongestAliasIsTheStrongestFoldedHarmonic) {
    ASSERT_EQ(exitCode_, 0);
    const Table rows = ReadTable("aliasing");
    ASSERT_EQ(rows.size(), 2u);
    const double tone = 4567;
    double aliasDb[2];
    for (int quality : {0, 1}) {
        const std::vector<double> out =
            Process(Sine(0.5, tone, kRate, static_cast<int>(1.5 * kRate)),
                    {{kDrive, 10}, {kQuality, quality}});
        // Every component is a harmonic of 4567 Hz folded at the engine's rate and again at the
        // host's: the candidates, each measured alone over one second of whole periods.
        const double engineRate = (quality ? 4 : 2) * kRate;
        const auto fold = [](double hz, double rate) {
            hz = std::fmod(hz, rate);
            return hz > rate / 2 ? rate - hz : hz;
        };
        const double fundamental = LevelDb(out, static_cast<int>(kRate), tone);
        double worstDb = -400, worstHz = 0;
        for (int k = 2; k <= 400; ++k) {
            const double hz = fold(fold(k * tone, engineRate), kRate);
            const double harmonic = std::round(hz / tone);
            if (hz < 30 || (harmonic >= 1 && std::fabs(hz - harmonic * tone) < 6)) continue;
            const double level = LevelDb(out, static_cast<int>(kRate), hz) - fundamental;
            if (level > worstDb) worstDb = level, worstHz = hz;
        }
        const std::vector<std::string>& row = rows[quality];
        ASSERT_EQ(Number(row[0]), quality);
        EXPECT_EQ(Number(row[1]), worstHz) << "Quality " << quality;
        EXPECT_NEAR(Number(row[2]), worstDb, 0.01) << "Quality " << quality;
        aliasDb[quality] = Number(row[2]);
    }
    EXPECT_LT(aliasDb[1], aliasDb[0] - 6);
}
