// The strict load the formats after VST 2 use: a whole state of ours loads, anything else is
// refused with nothing changed. (VST 2's lenient load is tested through its module.)
#include "adapter/program_state.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <vector>

#include "tests/plugin/fake_plugin.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes State(const std::vector<double>& values, bool header = true) {
    StateChunk chunk;
    if (header) chunk.WriteChunkHeader();
    for (double v : values) chunk.PutDouble(v);
    return Bytes(chunk.Data(), chunk.Data() + chunk.Size());
}

bool LoadStrictly(PluginBase& plug, const Bytes& bytes) {
    StateChunk chunk;
    chunk.Assign(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    return LoadProgramStateStrictly(plug, chunk);
}

std::vector<double> Values(const PluginBase& plug) {
    std::vector<double> values;
    for (int i = 0; i < plug.ParamCount(); ++i) values.push_back(plug.Param(i)->value);
    return values;
}

}  // namespace

TEST(ProgramStateTest, AWholeStateLoadsStrictlyAndComesBackAsSaved) {
    FakePlugin plug;
    ASSERT_TRUE(LoadStrictly(plug, State({0.25, 7.0, -1.0})));
    EXPECT_EQ(Values(plug), (std::vector<double>{0.25, 1.0, 0.0})) << "clamped to the range";
    EXPECT_EQ(plug.changed, (std::vector<int>{0, 1, 2}));
    StateChunk saved;
    ASSERT_TRUE(SaveProgramState(plug, saved));
    EXPECT_EQ(Bytes(saved.Data(), saved.Data() + saved.Size()), State({0.25, 1.0, 0.0}));
}

TEST(ProgramStateTest, AnythingButAWholeStateIsRefusedWithNothingChanged) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    Bytes otherVersion = State({0.5, 0.5, 0.5});
    otherVersion[4] = 1;
    Bytes cutShort = State({0.1, 0.2, 0.3});
    cutShort.pop_back();
    const Bytes damaged[] = {
        Bytes{},
        State({}),
        State({0.1, 0.2}),
        State({0.1, 0.2, 0.3, 0.4}),
        cutShort,
        otherVersion,
        State({0.1, nan, 0.3}),
        State({inf, 0.2, 0.3}),
        State({0.1, 0.2, 0.3}, false),
    };
    for (const Bytes& bytes : damaged) {
        FakePlugin plug;
        EXPECT_FALSE(LoadStrictly(plug, bytes)) << bytes.size() << " bytes";
        EXPECT_EQ(Values(plug), (std::vector<double>{0.5, 0.5, 0.5}));
        EXPECT_TRUE(plug.changed.empty());
    }
}
