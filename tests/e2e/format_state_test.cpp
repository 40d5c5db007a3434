// The plug-in's state as every format keeps it in a project: the same bytes in every format (a
// VST 2 program chunk), restored exactly into a new instance, and a damaged state taken as the
// format says it takes one.
#include <limits>
#include <string>
#include <vector>

#include "tests/e2e/format_fixture.h"

namespace {

using FormatStateTest = FormatTest;

std::vector<std::string> Displays(host::PluginInstance& fx) {
    std::vector<std::string> texts;
    for (int i = 0; i < fx.ParamCount(); ++i) texts.push_back(fx.ParamDisplay(i));
    return texts;
}

std::vector<double> Values(host::PluginInstance& fx) {
    std::vector<double> values;
    for (int i = 0; i < fx.ParamCount(); ++i) values.push_back(fx.GetParam(i));
    return values;
}

}  // namespace

TEST_P(FormatStateTest, AFreshInstanceSavesTheDefaultsAsEveryFormatDoes) {
    host::PluginInstance& fx = Create();
    EXPECT_EQ(fx.SaveState(), ProgramChunk(kDefaultValues));
}

TEST_P(FormatStateTest, StateRestoresIntoANewInstanceExactly) {
    host::PluginInstance& source = Started();
    source.SetParam(0, 0.3);
    source.SetParam(1, 0.9);
    source.SetParam(3, 0.125);
    source.SetParam(4, 1.0);
    ASSERT_TRUE(source.SetParamFromText(2, "7.25"));
    const host::Bytes state = source.SaveState();
    ASSERT_EQ(state.size(), 64u);

    host::PluginInstance& target = Started();
    ASSERT_TRUE(target.LoadState(state));
    EXPECT_EQ(Values(target), Values(source));
    EXPECT_EQ(Displays(target), Displays(source));
    EXPECT_EQ(target.SaveState(), state);
    const std::vector<double> tone = Sine(4096, 441, 0.3);
    EXPECT_EQ(Render(target, tone, tone, 512), Render(source, tone, tone, 512));
}

// Cut short, foreign, empty, not a number: VST 2 loads the values a program chunk covers (and
// reports a chunk cut short as a failure); the other formats refuse anything but a whole state
// and change nothing. Either way the plug-in plays on and a good state loads afterwards.
TEST_P(FormatStateTest, DamagedStatesAreTakenAsTheFormatSays) {
    host::PluginInstance& fx = Started();
    fx.SetParam(1, 0.75);
    const host::Bytes before = fx.SaveState();
    const bool refuses = Module().TakesDamagedState() == host::DamagedState::kRefused;

    Bytes cut = ProgramChunk({1.5, 2.0, 3.0, 4.0, 1.0, 0.0, 1.0});
    cut.pop_back();
    EXPECT_FALSE(fx.LoadState(cut));
    if (refuses) {
        EXPECT_EQ(fx.SaveState(), before);
    } else {
        EXPECT_EQ(Displays(fx),
                  (std::vector<std::string>{"1.500", "2.000", "3.000", "4.000", "1", "0", "0"}));
    }
    ASSERT_TRUE(fx.LoadState(before));

    std::vector<double> values = kDefaultValues;
    values[3] = std::numeric_limits<double>::quiet_NaN();
    values[1] = 8;
    const bool loaded = fx.LoadState(ProgramChunk(values));
    EXPECT_EQ(loaded, !refuses);
    EXPECT_EQ(fx.ParamDisplay(1), refuses ? "7.500" : "8.000");
    EXPECT_EQ(fx.ParamDisplay(3), "5.000");
    ASSERT_TRUE(fx.LoadState(before));

    Bytes longer = before;
    longer.push_back(0);
    Bytes otherVersion = before;
    otherVersion[6] = 2;
    Bytes garbage(64);
    for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<std::uint8_t>(i * 37);
    for (const Bytes& damaged : {Bytes{}, Bytes(kHeader.begin(), kHeader.begin() + 6), kHeader,
                                 longer, otherVersion, garbage}) {
        const bool taken = fx.LoadState(damaged);
        if (refuses) {
            EXPECT_FALSE(taken) << damaged.size() << " bytes";
            EXPECT_EQ(fx.SaveState(), before) << damaged.size() << " bytes";
        }
        const std::vector<double> tone = Sine(512, 441, 0.3);
        ASSERT_TRUE(AllFinite(Render(fx, tone, tone, 512)));
    }
    EXPECT_TRUE(fx.LoadState(before));
    EXPECT_EQ(fx.SaveState(), before);
}

ORV_ON_EVERY_FORMAT(FormatStateTest);
