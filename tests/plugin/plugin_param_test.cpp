#include "plugin/plugin_param.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

std::string Display(const PluginParam& param, std::size_t size = 64) {
    char text[64];
    param.FormatValue(text, size);
    return text;
}

void MakeInput(PluginParam& param) { param.InitParam("Input", 1, 0.0001, 2, 0.001, "Input", 1); }

void MakeSwitch(PluginParam& param) {
    param.type = ParamType::Stepped;
    param.InitParam("Bypass", 0, 0, 1, 1, "Bypass", 1);
}

}  // namespace

TEST(PluginParamTest, FreshRecordIsUnsetUnitRangeIntegerFormat) {
    PluginParam param;
    EXPECT_EQ(param.type, ParamType::Unset);
    EXPECT_EQ(param.min, 0);
    EXPECT_EQ(param.max, 1);
    EXPECT_EQ(param.step, 1);
    EXPECT_EQ(param.shape, 1);
    EXPECT_EQ(Display(param), "0");
}

TEST(PluginParamTest, InitParamDerivesPrecisionRaisesMaxAndKeepsChosenKind) {
    PluginParam param;
    param.InitParam("x", 0, 0, 0.5, 1, "", 0);
    EXPECT_EQ(param.type, ParamType::Continuous);
    EXPECT_EQ(param.max, 1);
    EXPECT_EQ(param.shape, 1) << "a shape of 0 keeps the previous shape";

    const struct {
        double step;
        int precision;
    } cases[] = {{0.001, 3}, {0.25, 2}, {0.1, 1}, {1, 0}, {1e-7, 6}, {5, 0}};
    for (const auto& c : cases) {
        param.InitParam("x", 0, 0, 10, c.step, "", 2);
        EXPECT_EQ(param.displayPrecision, c.precision) << c.step;
    }
    EXPECT_EQ(param.shape, 2);
    PluginParam stepped;
    MakeSwitch(stepped);
    EXPECT_EQ(stepped.type, ParamType::Stepped);
}

TEST(PluginParamTest, InputRangeNormalisesBothWays) {
    PluginParam param;
    MakeInput(param);
    EXPECT_EQ(Display(param), "1.000");
    EXPECT_DOUBLE_EQ(param.NormalizedValue(), (1 - 0.0001) / (2 - 0.0001));
    param.ApplyNormalized(1);
    EXPECT_EQ(param.value, 2);
    param.ApplyNormalized(0);
    EXPECT_EQ(param.value, 0.0001);
}

TEST(PluginParamTest, ShapeBendsTheMappingAndItsInverse) {
    PluginParam param;
    param.InitParam("Time", 0, 0, 100, 0.1, "ms", 2);
    param.ApplyNormalized(0.5);
    EXPECT_DOUBLE_EQ(param.value, 25);  // 0.5 squared of the range
    EXPECT_DOUBLE_EQ(param.NormalizedValue(), 0.5);
    EXPECT_DOUBLE_EQ(param.ValueFromNormalized(0.1), 1.0);
}

TEST(PluginParamTest, SteppedSnapsHalvesUpwardAndClampsAtTheTopOnly) {
    PluginParam param;
    MakeSwitch(param);
    param.ApplyNormalized(0.49);
    EXPECT_EQ(param.value, 0);
    param.ApplyNormalized(0.5);
    EXPECT_EQ(param.value, 1);
    param.ApplyNormalized(2);
    EXPECT_EQ(param.value, 1);

    // Snapping counts from 0, not from min.
    PluginParam offset;
    offset.type = ParamType::Stepped;
    offset.InitParam("Offset", 0.5, 0.5, 10.5, 1, "", 1);
    offset.ApplyNormalized(0);
    EXPECT_EQ(offset.value, 1);
}

TEST(PluginParamTest, ContinuousIsNotClampedBelowButReportsZero) {
    PluginParam param;
    param.InitParam("Drive", 5, 0, 10, 0.001, "", 1);
    param.ApplyNormalized(-0.5);
    EXPECT_EQ(param.value, -5);
    EXPECT_EQ(param.NormalizedValue(), 0);
    param.value = 12;
    EXPECT_EQ(param.NormalizedValue(), 1);

    // Nor does anything that is not finite reach the value, from either end of the mapping.
    param.value = 3;
    for (double x : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
        param.ApplyNormalized(x);
        EXPECT_EQ(param.value, 3) << x;
    }
    param.shape = 2000;  // pow(2, 2000) overflows
    param.ApplyNormalized(2);
    EXPECT_EQ(param.value, 3);
}

TEST(PluginParamTest, IntegerFormatTruncatesTowardZeroAndNegates) {
    PluginParam param;
    param.InitParam("Steps", 0, -10, 10, 1, "", 1);
    param.value = 7.9;
    EXPECT_EQ(Display(param), "7");
    param.value = -0.5;
    EXPECT_EQ(Display(param), "0");
    param.negateDisplay = true;
    param.value = 3;
    EXPECT_EQ(Display(param), "-3");
    param.value = NAN;
    EXPECT_EQ(Display(param), "0") << "NaN must not reach an undefined conversion";
}

TEST(PluginParamTest, FormattedTextIsCutToTheCallersBuffer) {
    PluginParam param;
    param.InitParam("Gain", 0, 0, 1e6, 0.001, "", 1);
    param.value = 123456.5;
    char text[12];
    std::memset(text, 'x', sizeof(text));
    param.FormatValue(text, 8);
    EXPECT_STREQ(text, "123456.");
    EXPECT_EQ(text[8], 'x');
}

TEST(PluginParamTest, DisplayTextsReplaceNumbersAndLabels) {
    PluginParam param;
    MakeSwitch(param);
    ASSERT_TRUE(param.AddDisplayText(0, "off"));
    ASSERT_TRUE(param.AddDisplayText(1, ""));
    EXPECT_EQ(Display(param), "off");
    EXPECT_STREQ(param.HostLabel(), "");
    param.value = 1;
    EXPECT_EQ(Display(param), "1") << "an empty text is no match";
    EXPECT_STREQ(param.HostLabel(), "Bypass");

    double v = -1;
    EXPECT_TRUE(param.ValueFromText("off", &v));
    EXPECT_EQ(v, 0);
    EXPECT_FALSE(param.ValueFromText("Off", &v)) << "matching is case-sensitive";
}

TEST(PluginParamTest, ValueFromTextReadsTheLeadingDecimalNumber) {
    PluginParam param;
    MakeInput(param);
    const struct {
        const char* text;
        double value;
    } cases[] = {{"12", 12},    {"  -3.5dB", -3.5}, {"+.25", 0.25}, {"1e2x", 100},
                 {"2E-1", 0.2}, {"7e", 7},          {"abc", 0},     {"", 0},
                 {"inf", 0},    {"0x10", 0},        {"-", 0}};
    for (const auto& c : cases) {
        double v = -99;
        EXPECT_TRUE(param.ValueFromText(c.text, &v)) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
    }
    // Beyond the range of a double: too small reads as 0, too large as the largest double.
    const std::string zeros(400, '0');
    const double largest = std::numeric_limits<double>::max();
    const struct {
        std::string text;
        double value;
    } extremes[] = {{"0." + zeros + "1", 0},
                    {"-0." + zeros + "1", 0},
                    {"1e-999", 0},
                    {"123" + zeros + "e-800", 0},
                    {"1e999", largest},
                    {"-1e999", -largest},
                    {"1" + zeros, largest},
                    {"0." + zeros + "1e999", largest},
                    {"0.1e99999999999", largest},
                    {"1e-99999999999", 0}};
    for (const auto& c : extremes) {
        double v = -99;
        EXPECT_TRUE(param.ValueFromText(c.text.c_str(), &v)) << c.text;
        EXPECT_EQ(v, c.value) << c.text;
    }
    param.negateDisplay = true;
    double v = 0;
    param.ValueFromText("4", &v);
    EXPECT_EQ(v, -4);
}
