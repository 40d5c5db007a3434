// Hosts call in orders no interface promises: audio before processing was started, stops and
// starts twice, a state loaded between two blocks, parameters and states before the first start,
// the editor open while processing stops and the instance is destroyed under it. Every format
// answers them safely and plays on; and the mono configuration, where a format has one, plays
// what the first channel of the stereo one plays. A click in the editor reaches the host as an
// edit, begun, performed and ended.
#include <string>
#include <vector>

#include "tests/e2e/editor_parent.h"
#include "tests/e2e/format_fixture.h"
#include "tests/editor/panel_layout.h"

namespace {

using FormatCallOrderTest = FormatTest;

// A tone through the instance, which must come out finite and not silent.
void ExpectItPlays(host::PluginInstance& fx, const char* after) {
    const std::vector<double> tone = Sine(2048, 441, 0.3);
    const Stereo out = Render(fx, tone, tone, 512);
    ASSERT_TRUE(AllFinite(out)) << after;
    EXPECT_GT(Magnitude({out.left.begin() + 1024, out.left.end()}, 441), 0.01) << after;
}

}  // namespace

TEST_P(FormatCallOrderTest, AudioStopsAndStartsInOddOrders) {
    host::PluginInstance& fx = Create();
    fx.Stop();
    std::vector<double> in(512, 0.25), left(512), right(512);
    std::vector<float> fin(512, 0.25f), fleft(512), fright(512);
    double* inputs[] = {in.data(), in.data()};
    double* outputs[] = {left.data(), right.data()};
    float* finputs[] = {fin.data(), fin.data()};
    float* foutputs[] = {fleft.data(), fright.data()};
    fx.Process(inputs, outputs, 512);
    fx.Process(finputs, foutputs, 512);
    ASSERT_TRUE(AllFinite({left, right})) << "processed before it was started";

    ASSERT_TRUE(fx.Start(48000, 512));
    ASSERT_TRUE(fx.Start(44100, 256)) << "started again while running";
    fx.Process(inputs, outputs, 0);
    ExpectItPlays(fx, "a second start");
    fx.Stop();
    fx.Stop();
    ASSERT_TRUE(fx.Start(44100, 512));
    ExpectItPlays(fx, "two stops");
}

TEST_P(FormatCallOrderTest, StatesAndValuesBeforeTheStartAndBetweenBlocks) {
    host::PluginInstance& fx = Create();
    const Bytes state = ProgramChunk({1.5, 7.0, 2.0, 6.0, 1.0, 0.0, 0.0});
    fx.SetParam(3, 0.1);
    ASSERT_TRUE(fx.LoadState(state));
    ASSERT_TRUE(fx.Start(44100, 512));
    EXPECT_EQ(fx.SaveState(), state);
    ExpectItPlays(fx, "a state loaded before the start");

    const Bytes other = ProgramChunk({1.0, 2.0, 8.0, 4.0, 0.0, 1.0, 0.0});
    const std::vector<double> tone = Sine(512, 441, 0.3);
    Render(fx, tone, tone, 512);
    ASSERT_TRUE(fx.LoadState(other));
    EXPECT_EQ(fx.SaveState(), other);
    EXPECT_EQ(fx.ParamDisplay(2), "8.000");
    ExpectItPlays(fx, "a state loaded between blocks");
}

TEST_P(FormatCallOrderTest, TheMonoConfigurationPlaysTheFirstChannelOfTheStereoOne) {
    host::PluginInstance& mono = Create();
    if (!mono.SetChannels(1)) GTEST_SKIP() << "no mono configuration in this format";
    ASSERT_TRUE(mono.Start(44100, 512));
    host::PluginInstance& stereo = Started(44100, 512);
    const std::vector<double> tone = Sine(2048, 441, 0.3), other = Sine(2048, 1234, 0.5);
    std::vector<double> out(tone.size());
    for (std::size_t at = 0; at < tone.size(); at += 512) {
        double* inputs[] = {const_cast<double*>(tone.data()) + at};
        double* outputs[] = {out.data() + at};
        mono.Process(inputs, outputs, 512);
    }
    EXPECT_EQ(out, Render(stereo, tone, other, 512).left);
}

// The editor in a real window of the host's while the host stops, starts, loads and sets around
// it; then the instance is destroyed with its editor still open, and the window goes with it.
TEST_P(FormatCallOrderTest, TheEditorOpenWhileTheHostDoesEverythingElse) {
    const std::unique_ptr<EditorParent> parent = EditorParent::Create();
    if (parent == nullptr) GTEST_SKIP() << "no window system";
    std::unique_ptr<host::PluginInstance> fx = Module().CreateInstance();
    ASSERT_NE(fx, nullptr);
    if (!fx->HasEditor()) GTEST_SKIP() << "no editor";
    fx->CloseEditor();
    ASSERT_TRUE(fx->OpenEditor(parent->Handle()));
    EXPECT_EQ(parent->EditorsAfterIdling(*fx, 1), 1);
    ASSERT_TRUE(fx->Start(44100, 512));
    parent->Idle(*fx);
    fx->Stop();
    parent->Idle(*fx);
    ASSERT_TRUE(fx->LoadState(ProgramChunk({1.0, 9.0, 5.0, 5.0, 1.0, 1.0, 0.0})));
    fx->SetParam(3, 0.2);
    ASSERT_TRUE(fx->Start(48000, 256));
    ExpectItPlays(*fx, "the editor open");
    parent->Idle(*fx);
    fx->CloseEditor();
    EXPECT_EQ(parent->EditorsAfterIdling(*fx, 0), 0);
    ASSERT_TRUE(fx->OpenEditor(parent->Handle()));
    EXPECT_EQ(parent->EditorsAfterIdling(*fx, 1), 1);
    fx->CloseAbruptly();
    EXPECT_EQ(parent->EditorsAfterIdling(*fx, 0), 0) << "the editor outlived its instance";
}

TEST_P(FormatCallOrderTest, AClickInTheEditorReachesTheHostAsAnEdit) {
    const std::unique_ptr<EditorParent> parent = EditorParent::Create();
    if (parent == nullptr) GTEST_SKIP() << "no window system";
    host::PluginInstance& fx = Started();
    if (!fx.HasEditor()) GTEST_SKIP() << "no editor";
    ASSERT_TRUE(fx.OpenEditor(parent->Handle()));
    EXPECT_EQ(parent->EditorsAfterIdling(fx, 1), 1);
    fx.ClearHostEvents();
    parent->Click(fx, kStereoSwitch.x, kStereoSwitch.y, false);
    const std::vector<double> tone = Sine(64, 441, 0.3);
    Render(fx, tone, tone, 64);  // a format may hand edits over with the next block
    parent->Idle(fx);
    EXPECT_EQ(fx.ParamDisplay(4), "1");
    using Type = host::HostEvent::Type;
    const std::vector<host::HostEvent> events = fx.HostEvents();
    const std::vector<host::HostEvent> expected = {
        {Type::kBeginEdit, 4}, {Type::kPerformEdit, 4, 1.0}, {Type::kEndEdit, 4}};
    EXPECT_EQ(events, expected);
    fx.CloseEditor();
}

ORV_ON_EVERY_FORMAT(FormatCallOrderTest);
