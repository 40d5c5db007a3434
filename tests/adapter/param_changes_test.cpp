// A block split at parameter changes: every frame from a change's offset on hears its value,
// whatever order the host gave the points in and however many it gave.
#include "adapter/param_changes.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "adapter/host_params.h"
#include "tests/plugin/fake_plugin.h"

namespace {

// Plays parameter 0's value on both outputs, frame by frame, and counts the pieces it is given.
class ValuePlayer : public FakePlugin {
public:
    ValuePlayer() {
        SetBlockSize(64);
        ConnectInputs(2);
        ConnectOutputs(2);
    }
    void ProcessBlock(double** /*inputs*/, double** outputs, int frames) override {
        ++pieces;
        for (int i = 0; i < frames; ++i) outputs[0][i] = outputs[1][i] = Param(0)->value;
    }
    int pieces = 0;
};

// The block's output: what parameter 0 was at each frame.
std::vector<double> Play(ValuePlayer& plug, ParamChanges& changes, int frames) {
    std::vector<double> in(frames), left(frames), right(frames);
    double* inputs[] = {in.data(), in.data()};
    double* outputs[] = {left.data(), right.data()};
    changes.Process(plug, inputs, outputs, frames);
    EXPECT_EQ(left, right);
    return left;
}

std::vector<double> Steps(std::initializer_list<std::pair<int, double>> runs) {
    std::vector<double> out;
    for (const auto& [count, value] : runs) out.insert(out.end(), count, value);
    return out;
}

}  // namespace

TEST(ParamChangesTest, EachChangeIsHeardFromItsOffsetInTimeOrder) {
    ValuePlayer plug;
    ParamChanges changes;
    changes.Add(70, 0, 0.75);
    changes.Add(10, 0, 0.25);
    changes.Add(10, 0, 0.125);  // the same offset: the later point wins
    changes.Add(0, 1, 1.0);
    changes.Add(-5, 2, 0.0);   // before the block: at its start
    changes.Add(500, 0, 1.0);  // after it: at its end, heard from the next block
    EXPECT_EQ(changes.Count(), 6);
    EXPECT_EQ(Play(plug, changes, 100), Steps({{10, 0.5}, {60, 0.125}, {30, 0.75}}));
    EXPECT_EQ(plug.Param(0)->value, 1.0);
    EXPECT_EQ(plug.Param(1)->value, 1.0);
    EXPECT_EQ(plug.Param(2)->value, 0.0);
    EXPECT_EQ(plug.pieces, 3) << "one piece for each stretch between changes";

    changes.Clear();
    changes.Add(0, 0, 0.0);
    changes.Add(0, 1, std::numeric_limits<double>::quiet_NaN());
    changes.Add(3, 9, 0.5);  // no such parameter
    plug.pieces = 0;
    EXPECT_EQ(Play(plug, changes, 0), std::vector<double>{}) << "a flush plays nothing";
    EXPECT_EQ(plug.pieces, 0);
    EXPECT_EQ(plug.Param(0)->value, 0.0);
    EXPECT_EQ(plug.Param(1)->value, 1.0) << "a value that is not a number changes nothing";
}

TEST(ParamChangesTest, PointsBeyondTheCapacityLeaveEachParametersLastValueAtTheEnd) {
    ValuePlayer plug;
    ParamChanges changes;
    for (int i = 0; i < ParamChanges::kCapacity; ++i) changes.Add(i % 50, 1, 0.001 * (i % 7));
    changes.Add(20, 0, 0.25);
    changes.Add(30, 0, 0.75);
    changes.Add(40, 2, 0.125);
    EXPECT_EQ(Play(plug, changes, 50), Steps({{50, 0.5}}));
    EXPECT_EQ(plug.Param(0)->value, 0.75);
    EXPECT_EQ(plug.Param(2)->value, 0.125);

    changes.Clear();
    EXPECT_EQ(Play(plug, changes, 10), Steps({{10, 0.75}})) << "nothing left over after Clear";
    EXPECT_EQ(plug.Param(2)->value, 0.125);
}

TEST(ParamChangesTest, PlainValuesAreStoredAsTheNormalisedOnesTheyStandFor) {
    ValuePlayer plug;
    PluginParam* drive = plug.Param(0);
    PluginParam* toggle = plug.Param(1);
    drive->InitParam("Input", 1, 0.0001, 2, 0.001, "Input", 1);
    toggle->type = ParamType::Stepped;
    toggle->InitParam("Stereo", 0, 0, 1, 1, "Stereo", 1);
    ParamChanges changes;
    for (double x : {0.0, 0.1, 1.0 / 3, 0.49997, 0.7, 1.0}) {
        ApplyHostParam(plug, 0, x);
        const double viaNormalized = drive->value;
        changes.Clear();
        changes.AddPlain(0, 0, x * (2 - 0.0001) + 0.0001);
        Play(plug, changes, 0);
        EXPECT_EQ(drive->value, viaNormalized) << x;
    }
    changes.Clear();
    changes.AddPlain(0, 1, 0.7);
    changes.AddPlain(0, 0, 1.0);
    changes.AddPlain(5, 0, 9.0);
    changes.AddPlain(6, 0, std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(Play(plug, changes, 8), Steps({{5, 1.0}, {3, 2.0}}))
        << "beyond the range: the nearer end; not a number: nothing";
    EXPECT_EQ(toggle->value, 1.0) << "a stepped parameter takes the nearest step";
}
