// Every built module's editor in a window of the small X11 host, opened through its format's
// host (host/plugin_host.h) and run by nothing but what that host's loop does (IdleEditor:
// effEditIdle for VST 2, the descriptor and timer the plug-in registered for CLAP). It shows the
// panel the headless editor draws for the same values, and again after the host changes them.
#include <chrono>
#include <thread>

#include "tests/e2e/format_fixture.h"
#include "tests/editor_x11/editor_window_fixture.h"

namespace {

class FormatWindowTest : public ::testing::TestWithParam<BuiltModule> {
protected:
    void SetUp() override {
        ASSERT_TRUE(x11.Connected()) << "no X server: run this suite under xvfb-run";
        module = LoadedModule(GetParam());
        ASSERT_NE(module, nullptr);
        parent = x11.CreateWindow(100, 100, 400, 400);
    }
    void TearDown() override {
        fx.reset();
        x11.DestroyWindow(parent);
    }

    // The host's loop every 5 ms until `done` holds (true) or two seconds have passed.
    template <typename Done>
    bool IdleUntil(Done done) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < end) {
            fx->IdleEditor();
            if (done()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    std::vector<uint32_t> Expected() {
        std::vector<float> values;
        for (int i = 0; i < fx->ParamCount(); ++i) values.push_back(float(fx->GetParam(i)));
        return HeadlessPanel(values);
    }
    bool Shows(const std::vector<uint32_t>& expected) {
        return IdleUntil([&] { return DifferingPixels(x11, child, expected) == 0; });
    }

    X11TestHost x11;
    host::PluginModule* module = nullptr;
    std::unique_ptr<host::PluginInstance> fx;
    uint32_t parent = 0;
    uint32_t child = 0;
};

}  // namespace

TEST_P(FormatWindowTest, ShowsTheHeadlessEditorsPanelAndFollowsTheHost) {
    fx = module->CreateInstance();
    ASSERT_NE(fx, nullptr);
    ASSERT_TRUE(fx->Start(44100, 512));
    ASSERT_TRUE(fx->OpenEditor(reinterpret_cast<void*>(uintptr_t{parent})));
    ASSERT_TRUE(IdleUntil([&] { return x11.Children(parent).size() == 1; }));
    child = x11.Children(parent)[0];
    const std::vector<uint32_t> fresh = Expected();
    EXPECT_TRUE(Shows(fresh)) << DifferingPixels(x11, child, fresh) << " pixels differ";

    fx->SetParam(1, 0.8);
    fx->SetParam(4, 1.0);
    fx->SetParam(6, 1.0);
    // A format may hand the host's changes over with the next block.
    std::vector<double> silence(64), out0(64), out1(64);
    double* inputs[] = {silence.data(), silence.data()};
    double* outputs[] = {out0.data(), out1.data()};
    fx->Process(inputs, outputs, 64);
    const std::vector<uint32_t> changed = Expected();
    ASSERT_NE(changed, fresh);
    EXPECT_TRUE(Shows(changed)) << DifferingPixels(x11, child, changed) << " pixels differ";

    fx->CloseEditor();
    EXPECT_TRUE(IdleUntil([&] { return x11.Children(parent).empty(); }));
}

ORV_ON_EVERY_FORMAT(FormatWindowTest);
