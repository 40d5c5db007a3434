// orv-bench as a developer runs it: a real command line, the JSON summary on its last line.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

const std::string kDir = ORV_TEST_OUTPUT_DIR;

// Runs orv-bench with the given options; the last line of its output, or "" when it fails.
std::string LastLine(const std::string& options) {
    const std::string out = kDir + "/bench.txt";
    if (std::system((std::string(ORV_BENCH) + " " + options + " >" + out + " 2>&1").c_str()) != 0)
        return "";
    std::ifstream file(out);
    std::string line, last;
    while (std::getline(file, line)) last = line;
    return last;
}

// The number after "key": in a flat JSON object, or -1.
double Field(const std::string& json, const std::string& key) {
    const std::size_t at = json.find("\"" + key + "\": ");
    return at == std::string::npos ? -1 : std::atof(json.c_str() + at + key.size() + 4);
}

}  // namespace

TEST(OrvBenchTest, ReportsTheMeanAndTheWorstBlockOfEachSignal) {
    const std::string common = " --seconds 0.5 --instances 2 --stereo 1 --quality 1";
    const std::string sine = LastLine(common + " --signal sine");
    const std::string noise = LastLine(common + " --signal noise --drive 10 --input 2");
    ASSERT_NE(sine, "");
    ASSERT_NE(noise, "");
    EXPECT_NE(noise.find("\"signal\": \"noise\""), std::string::npos) << noise;
    EXPECT_EQ(Field(noise, "drive"), 10);
    EXPECT_EQ(Field(noise, "input"), 2);
    for (const std::string& json : {sine, noise}) {
        EXPECT_GT(Field(json, "block_ms_mean"), 0) << json;
        EXPECT_GE(Field(json, "block_ms_worst"), Field(json, "block_ms_mean")) << json;
        // 512 frames at 48 kHz last 10.667 ms.
        EXPECT_NEAR(Field(json, "block_share_mean") * 10.6667, Field(json, "block_ms_mean"),
                    0.01 * Field(json, "block_ms_mean"))
            << json;
        EXPECT_GT(Field(json, "realtime_factor"), 1) << json;
    }
    // Loud, bright noise at full drive keeps the diode solver iterating far longer than the
    // sine at the default settings: proof that the signal and both knobs reach the effect.
    EXPECT_GT(Field(noise, "block_ms_mean"), 2 * Field(sine, "block_ms_mean"));
}

TEST(OrvBenchTest, RefusesUnknownSignalsAndValuesOutsideTheKnobsRanges) {
    EXPECT_EQ(LastLine("--signal square"), "");
    EXPECT_EQ(LastLine("--drive 11"), "");
    EXPECT_EQ(LastLine("--input 0"), "");
    EXPECT_EQ(LastLine("--signal"), "");
}
