// The panel shared by four threads for a few seconds, as in a host: automation sets parameters,
// the audio thread processes, a state thread saves and restores chunks, and the window thread
// ticks, draws, drags, clicks and types. Run under the thread sanitizer it proves the values and
// flags the threads share are safe; anywhere it proves that afterwards every control holds its
// parameter's value and the panel shows what the controls hold. Beside it, two instances' editors
// on two window threads at once, sharing the process's fonts.
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "tests/editor/editor_fixture.h"

using namespace vst2;

namespace {
constexpr auto kDuration = std::chrono::seconds(3);
}  // namespace

TEST_F(PanelTest, AutomationAudioAndTheWindowShareThePanel) {
    effect->dispatcher(effect, effSetBlockSize, 0, 256, nullptr, 0.0f);
    std::atomic<bool> stop{false};
    std::atomic<int> automations{0}, blocks{0}, gestures{0}, restores{0};
    std::atomic<bool> finite{true}, restored{true};

    std::thread automation([&] {
        for (int i = 0; !stop; ++i) {
            const int index = i % 4;  // the knobs and the input strip
            effect->setParameter(effect, index, static_cast<float>((i * 37 % 101) / 100.0));
            if (i % 50 == 0) {
                char text[] = "3.5";
                effect->dispatcher(effect, effString2Parameter, ORV_Q12::kFilter, 0, text, 0.0f);
            }
            effect->getParameter(effect, ORV_Q12::kBypass);
            ++automations;
            std::this_thread::yield();
        }
    });
    std::thread audio([&] {
        std::vector<float> in(256), out0(256), out1(256);
        for (int i = 0; i < 256; ++i) in[i] = 0.4f * std::sin(0.03f * i);
        float* inputs[] = {in.data(), in.data()};
        float* outputs[] = {out0.data(), out1.data()};
        while (!stop) {
            effect->processReplacing(effect, inputs, outputs, 256);
            if (!std::isfinite(out0[17]) || !std::isfinite(out1[200])) finite = false;
            ++blocks;
        }
    });

    std::thread state([&] {
        std::vector<std::uint8_t> older, latest;
        for (int i = 0; !stop; ++i) {
            void* data = nullptr;
            const intptr size = effect->dispatcher(effect, effGetChunk, 1, 0, &data, 0.0f);
            // The bytes are the plug-in's until its next chunk request.
            if (size > 0) {
                latest.assign(static_cast<std::uint8_t*>(data),
                              static_cast<std::uint8_t*>(data) + size);
            }
            if (i % 2 == 1 && !older.empty()) {
                if (effect->dispatcher(effect, effSetChunk, 1, static_cast<intptr>(older.size()),
                                       older.data(), 0.0f) != 1) {
                    restored = false;
                }
                ++restores;
            }
            older.swap(latest);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });

    // This thread plays the window's.
    const Point knobs[] = {kDriveKnob, kFilterKnob, kVolumeKnob};
    const auto end = std::chrono::steady_clock::now() + kDuration;
    for (int i = 0; std::chrono::steady_clock::now() < end; ++i) {
        const Point knob = knobs[i % 3];
        editor->Press(knob.x, knob.y);
        for (int step = 1; step <= 6; ++step) {
            editor->Move(knob.x, knob.y + (i % 2 == 0 ? -step : step));
            editor->Tick();
        }
        editor->Release(knob.x, knob.y);
        editor->Press(56 + i % 184, 331);
        editor->Release(56 + i % 184, 331);
        if (i % 5 == 0) Click(kFootswitch);
        if (i % 7 == 0) Click(kStereoSwitch);
        if (i % 11 == 0) {
            Click(knob, MouseButton::Right);
            editor->TypeText("6.25");
            editor->PressKey(13);
        }
        editor->Tick();
        ++gestures;
    }
    stop = true;
    automation.join();
    audio.join();
    state.join();

    EXPECT_GT(automations.load(), 0);
    EXPECT_GT(blocks.load(), 0);
    EXPECT_GT(gestures.load(), 0);
    EXPECT_GT(restores.load(), 0);
    EXPECT_TRUE(finite.load());
    EXPECT_TRUE(restored.load());
    // Whichever thread wrote last, panel and plug-in agree.
    for (int knob : {kDrive, kFilter, kVolume, kInputStrip}) {
        const int index = ControlOf(knob).ParamIdx();
        EXPECT_NEAR(ControlOf(knob).Value(), fx->Param(index)->NormalizedValue(), 1e-9) << knob;
    }
    // No change got lost on its way to the screen.
    Settle();
    for (int knob : {kDrive, kFilter, kVolume}) {
        const int expected = static_cast<int>(80 * ControlOf(knob).Value() + 0.5) + 1;
        EXPECT_EQ(FrameShown(knob), expected) << knob;
    }
    EXPECT_EQ(FrameShown(kInputStrip),
              static_cast<int>(100 * ControlOf(kInputStrip).Value() + 0.5) + 1);
}

// The window thread applies a wheel step while the host's thread, holding the plug-in lock, sets
// the same parameter: whichever goes last, the knob shows the parameter's value.
TEST_F(PanelTest, AUserEditMeetingAHostValueLeavesKnobAndParameterAgreeing) {
    std::thread window;
    {
        LockGuard held(fx->Lock());
        window = std::thread([&] { editor->Wheel(kDriveKnob.x, kDriveKnob.y, 10); });
        // Long enough for the step to reach the lock; the host's value then comes first.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        effect->setParameter(effect, ORV_Q12::kDrive, 0.2f);
    }
    window.join();
    EXPECT_NEAR(ControlOf(kDrive).Value(), fx->Param(ORV_Q12::kDrive)->NormalizedValue(), 1e-9);
    EXPECT_NEAR(ControlOf(kDrive).Value(), 0.6, 1e-9) << "the user's value, applied last";
}

// A host that runs each plug-in's window on a thread of its own: two editors type into their
// value boxes at once, drawing with the fonts the process shares.
TEST_F(PanelTest, TwoEditorsOnTwoWindowThreadsShareTheFonts) {
    ORV_Q12 other(nullptr, &HeadlessEditor::Create);
    auto& second = static_cast<HeadlessEditor&>(*other.AttachedEditor());
    auto typeValues = [](HeadlessEditor& e, const char* text) {
        for (int i = 0; i < 200; ++i) {
            e.Press(kDriveKnob.x, kDriveKnob.y, MouseButton::Right);
            e.Release(kDriveKnob.x, kDriveKnob.y, MouseButton::Right);
            e.TypeText(text);
            e.Tick();
            e.PressKey(27);
            e.Tick();
        }
    };
    std::thread window([&] { typeValues(second, "2.468"); });
    typeValues(*editor, "1.357");
    window.join();
    EXPECT_FALSE(editor->EntryBoxOpen());
    EXPECT_FALSE(second.EntryBoxOpen());
    EXPECT_EQ(other.Param(ORV_Q12::kDrive)->value, 5.0) << "every box was cancelled";
}
