// An LV2 plug-in's control ports as run reads them: what changed is applied (within its range,
// a value that is not a number ignored), and the late values of the panel's own edits, which a
// host writes back into the port a block or more after the panel sent them, never pull the
// parameter back.
#include "lv2/control_ports.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "tests/plugin/fake_plugin.h"

namespace {

constexpr double kRate = 48000;
constexpr int kBlock = 256;

class ControlPortsTest : public ::testing::Test {
protected:
    ControlPortsTest() {
        for (int i = 0; i < 3; ++i) ports.Connect(i, &values[i]);
    }
    // One run: the ports read, the parameters as they then stand.
    double Read(int index = 0) {
        ports.Read(plug, kBlock);
        return plug.Param(index)->value;
    }
    // What the panel does for an edit: the parameter takes the value, the host is sent it.
    void Edit(float value) {
        plug.Param(0)->value = value;
        ports.Sent(0, value, kRate);
    }

    FakePlugin plug;
    ControlPorts ports;
    float values[3] = {0.5f, 0.5f, 0.5f};
};

TEST_F(ControlPortsTest, ChangedValuesApplyWithinTheirRangeAndNotANumberIsIgnored) {
    values[1] = 0.25f;
    Read();
    EXPECT_EQ(plug.changed, (std::vector<int>{0, 1, 2})) << "the first run takes every port";
    EXPECT_EQ(plug.Param(1)->value, 0.25);
    plug.changed.clear();
    Read();
    EXPECT_TRUE(plug.changed.empty()) << "nothing changed";

    values[0] = 7.0f;
    values[1] = std::numeric_limits<float>::quiet_NaN();
    values[2] = -std::numeric_limits<float>::infinity();
    EXPECT_EQ(Read(0), 1.0);
    EXPECT_EQ(plug.Param(1)->value, 0.25);
    EXPECT_EQ(plug.Param(2)->value, 0.0);
    EXPECT_EQ(plug.changed, (std::vector<int>{0, 2}));
    values[1] = 0.75f;
    EXPECT_EQ(Read(1), 0.75) << "a number again after one that was not";
}

TEST_F(ControlPortsTest, ThePanelsOwnLateValuesDoNotPullTheParameterBack) {
    Read();
    ports.Hold(0, true);
    Edit(0.6f);
    Edit(0.7f);
    EXPECT_FALSE(ports.IsNews(0, 0.6f));
    EXPECT_TRUE(ports.IsNews(0, 0.7f));
    EXPECT_EQ(Read(), 0.7f) << "the port still holds the value before the gesture";
    values[0] = 0.6f;
    EXPECT_EQ(Read(), 0.7f) << "the host wrote the first value back";
    values[0] = 0.7f;
    EXPECT_EQ(Read(), 0.7f);
    ports.Hold(0, false);
    values[0] = 0.2f;
    EXPECT_EQ(Read(), 0.2f) << "caught up: the host's own values count again";
    EXPECT_TRUE(ports.IsNews(0, 0.3f));
}

TEST_F(ControlPortsTest, APortThatNeverShowsThePanelsValueIsFollowedAfterTheGesture) {
    Read();
    ports.Hold(0, true);
    Edit(0.9f);
    values[0] = 0.4f;
    for (int run = 0; run < 400; ++run) ASSERT_EQ(Read(), 0.9f) << "held, at run " << run;
    ports.Hold(0, false);
    EXPECT_EQ(Read(), 0.4f) << "half a second has long passed";

    Edit(0.8f);
    const int halfSecond = static_cast<int>(kRate / 2) / kBlock;
    for (int run = 0; run < halfSecond - 1; ++run) ASSERT_EQ(Read(), 0.8f) << "at run " << run;
    EXPECT_EQ(Read(), 0.8f);
    EXPECT_EQ(Read(), 0.4f);
}

}  // namespace
