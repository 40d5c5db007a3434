// What a host of any format learns and sets before it plays a note: the plug-in's identity, its
// parameters' names, texts and defaults, values set from typed text, and values no host should
// send, which every format survives the same way.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "tests/e2e/format_fixture.h"

namespace {

using FormatParameterTest = FormatTest;

struct Expected {
    const char* name;
    const char* display;
    double normalized;
};

// The defaults, their texts and their normalised values.
const Expected kParameters[] = {
    {"Input", "1.000", (1 - 0.0001) / (2 - 0.0001)},
    {"Drive", "5.000", 0.5},
    {"Filter", "5.000", 0.5},
    {"Volume", "5.000", 0.5},
    {"Stereo", "0", 0.0},
    {"Quality", "1", 1.0},
    {"Bypass", "0", 0.0},
};

std::vector<std::string> Displays(host::PluginInstance& fx) {
    std::vector<std::string> texts;
    for (int i = 0; i < fx.ParamCount(); ++i) texts.push_back(fx.ParamDisplay(i));
    return texts;
}

}  // namespace

TEST_P(FormatParameterTest, IdentityAndParametersWithTheirDefaults) {
    host::PluginInstance& fx = Create();
    EXPECT_EQ(fx.Name(), "ORV Q12");
    EXPECT_EQ(fx.Vendor(), "ORV AUDIO");
    EXPECT_EQ(fx.Version(), "1.1.0");
    ASSERT_EQ(fx.ParamCount(), 7);
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(kParameters[i].name);
        EXPECT_EQ(fx.ParamName(i), kParameters[i].name);
        EXPECT_EQ(fx.ParamLabel(i), kParameters[i].name);
        EXPECT_EQ(fx.ParamDisplay(i), kParameters[i].display);
        // VST 2 reports its values as floats.
        EXPECT_NEAR(fx.GetParam(i), kParameters[i].normalized, 1e-7);
    }
    std::string text;
    if (fx.ParamDisplayOf(1, 0.25, &text)) {
        EXPECT_EQ(text, "2.500");
    }
    int width = 0, height = 0;
    if (fx.HasEditor()) {
        ASSERT_TRUE(fx.EditorSize(&width, &height));
        EXPECT_EQ(width, 300);
        EXPECT_EQ(height, 350);
    }
}

TEST_P(FormatParameterTest, ValuesSnapScaleAndShowAsTheyAreSet) {
    host::PluginInstance& fx = Started();
    fx.SetParam(6, 0.4);
    EXPECT_EQ(fx.ParamDisplay(6), "0");
    fx.SetParam(6, 0.6);
    EXPECT_EQ(fx.ParamDisplay(6), "1");
    EXPECT_EQ(fx.GetParam(6), 1.0);
    fx.SetParam(1, 0.25);
    EXPECT_EQ(fx.ParamDisplay(1), "2.500");
    fx.SetParam(0, 1.0);
    EXPECT_EQ(fx.ParamDisplay(0), "2.000");
    fx.SetParam(0, 0.0);
    EXPECT_EQ(fx.ParamDisplay(0), "0.000") << "0.0001 shown with three decimals";
}

// Typed text goes through the plug-in's own parsing, as in its value box: the number leading the
// text, clamped to the range; a text without a number reads as 0.
TEST_P(FormatParameterTest, TypedTextSetsTheClampedValue) {
    host::PluginInstance& fx = Started();
    EXPECT_TRUE(fx.SetParamFromText(1, "12"));
    EXPECT_EQ(fx.ParamDisplay(1), "10.000");
    EXPECT_TRUE(fx.SetParamFromText(2, " 2.5 dB"));
    EXPECT_EQ(fx.ParamDisplay(2), "2.500");
    EXPECT_TRUE(fx.SetParamFromText(3, "loud"));
    EXPECT_EQ(fx.ParamDisplay(3), "0.000");
    EXPECT_TRUE(fx.SetParamFromText(0, "-3"));
    EXPECT_EQ(fx.ParamDisplay(0), "0.000");
    EXPECT_TRUE(fx.SetParamFromText(5, "0"));
    EXPECT_EQ(fx.ParamDisplay(5), "0");
    EXPECT_FALSE(fx.SetParamFromText(7, "1"));
    EXPECT_EQ(Displays(fx),
              (std::vector<std::string>{"0.000", "10.000", "2.500", "0.000", "0", "0", "0"}));
}

// A value outside 0..1 is taken as the nearer end; one that is not a number, and an index that
// is no parameter, change nothing. The state saved afterwards and the sound agree with a twin
// that was sent only sound values.
TEST_P(FormatParameterTest, ValuesNoHostShouldSendChangeNothingOrTheNearerEnd) {
    host::PluginInstance& fx = Started();
    host::PluginInstance& twin = Started();
    for (double bad :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity()}) {
        for (int index = 0; index < 7; ++index) fx.SetParam(index, bad);
    }
    fx.SetParam(-1, 1.0);
    fx.SetParam(7, 1.0);
    EXPECT_EQ(fx.GetParam(7), 0.0);
    EXPECT_EQ(fx.ParamDisplay(1), "5.000");
    for (int index : {0, 2, 6}) {
        fx.SetParam(index, -0.5);
        twin.SetParam(index, 0.0);
    }
    fx.SetParam(3, 7.0);
    twin.SetParam(3, 1.0);
    EXPECT_EQ(Displays(fx), Displays(twin));
    EXPECT_EQ(fx.SaveState(), twin.SaveState());
    const std::vector<double> tone = Sine(2048, 441, 0.3);
    EXPECT_EQ(Render(fx, tone, tone, 512), Render(twin, tone, tone, 512));
}

// Where the format has changes inside a block, a change at an offset is heard from that frame
// on: the block equals one split there by the host, the change made between the two pieces.
TEST_P(FormatParameterTest, AChangeInsideABlockIsHeardFromItsFrame) {
    host::PluginInstance& fx = Started();
    if (!fx.SetParamAt(1, 0.9, 300)) GTEST_SKIP() << "no changes inside a block in this format";
    host::PluginInstance& twin = Started();
    const std::vector<double> tone = Sine(512, 441, 0.3);
    const Stereo played = Render(fx, tone, tone, 512);
    const std::vector<double> first(tone.begin(), tone.begin() + 300);
    const std::vector<double> rest(tone.begin() + 300, tone.end());
    Stereo expected = Render(twin, first, first, 300);
    twin.SetParam(1, 0.9);
    const Stereo after = Render(twin, rest, rest, 212);
    expected.left.insert(expected.left.end(), after.left.begin(), after.left.end());
    expected.right.insert(expected.right.end(), after.right.begin(), after.right.end());
    EXPECT_EQ(played, expected);
    EXPECT_EQ(fx.ParamDisplay(1), "9.000");
}

ORV_ON_EVERY_FORMAT(FormatParameterTest);
