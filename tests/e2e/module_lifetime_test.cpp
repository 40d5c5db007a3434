// Each module loaded, used and unloaded a hundred times in one process, as by a host that scans
// and rescans its plug-ins or opens project after project. Each cycle fills everything the module
// keeps for the whole process: two instances play in both precisions and exchange states, and
// one opens its editor in a real window with a control's entry box, so that the panel images,
// a font and its glyphs are made. After the first cycle (which also sets up what the system's
// own libraries keep for good) the process holds no more memory, handles or mappings, and the
// module is gone each time. VST 2 makes its two instances through its two exports and exchanges
// banks as well.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/vst2_plugin_host.h"
#include "tests/e2e/chunk_bytes.h"
#include "tests/e2e/editor_parent.h"
#include "tests/e2e/format_fixture.h"
#include "tests/e2e/process_resources.h"
#include "tests/editor/panel_layout.h"

namespace {

void Play(host::PluginInstance& fx) {
    std::vector<float> in(512), out0(512), out1(512);
    std::vector<double> din(512), dout0(512), dout1(512);
    for (int s = 0; s < 512; ++s) din[s] = in[s] = 0.3f * std::sin(0.06f * s);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {out0.data(), out1.data()};
    double* dinputs[] = {din.data(), din.data()};
    double* doutputs[] = {dout0.data(), dout1.data()};
    fx.Process(inputs, outputs, 512);
    fx.Process(dinputs, doutputs, 512);
}

void UseTheModuleOnce(const char* path, EditorParent* parent) {
    std::string error;
    const std::unique_ptr<host::PluginModule> module = host::LoadPlugin(path, &error);
    ASSERT_NE(module, nullptr) << error;
    auto* vst2 = dynamic_cast<host::Vst2Module*>(module.get());
    std::vector<std::unique_ptr<host::PluginInstance>> instances;
    for (const char* entry : {"VSTPluginMain", "main"}) {
        instances.push_back(vst2 != nullptr ? vst2->CreateUnopened(entry)
                                            : module->CreateInstance());
        ASSERT_NE(instances.back(), nullptr);
        ASSERT_TRUE(instances.back()->Start(48000, 512));
    }
    for (const std::unique_ptr<host::PluginInstance>& fx : instances) {
        fx->SetParam(1, 0.7);
        Play(*fx);
        EXPECT_TRUE(fx->LoadState(fx->SaveState()));
        if (auto* effect = dynamic_cast<host::Vst2Instance*>(fx.get())) {
            EXPECT_EQ(SetChunk(effect->Effect(), true, GetChunk(effect->Effect(), true)), 1);
        }
    }
    if (parent != nullptr) {
        host::PluginInstance& fx = *instances.front();
        ASSERT_TRUE(fx.OpenEditor(parent->Handle()));
        EXPECT_EQ(parent->EditorsAfterIdling(fx, 1), 1);
        parent->Click(fx, kDriveKnob.x, kDriveKnob.y, true);
        parent->Click(fx, kBackground.x, kBackground.y, false);
        fx.CloseEditor();
        EXPECT_EQ(parent->EditorsAfterIdling(fx, 0), 0);
    }
}

class ModuleLifetime : public ::testing::TestWithParam<BuiltModule> {};

}  // namespace

TEST_P(ModuleLifetime, AHundredLoadsUsesAndUnloadsLeaveNothingBehind) {
    const char* path = GetParam().path;
    const std::unique_ptr<EditorParent> parent = EditorParent::Create();
    const ProcessResources before = MeasureProcess();
    UseTheModuleOnce(path, parent.get());
    const ProcessResources first = MeasureProcess();
    const char* count = std::getenv("ORV_LIFETIME_CYCLES");
    const int cycles = count != nullptr && std::atoi(count) > 1 ? std::atoi(count) : 100;
    for (int cycle = 2; cycle <= cycles && !::testing::Test::HasFailure(); ++cycle) {
        UseTheModuleOnce(path, parent.get());
    }
    const ProcessResources last = MeasureProcess();
    std::printf("[ lifetime ] editor windows %s\n", parent ? "real" : "none (no window system)");
    std::printf("[ lifetime ] before cycle 1: %s\n", before.Describe().c_str());
    std::printf("[ lifetime ] after cycle 1:  %s\n", first.Describe().c_str());
    std::printf("[ lifetime ] after cycle %d: %s\n", cycles, last.Describe().c_str());
    EXPECT_FALSE(first.moduleLoaded);
    EXPECT_FALSE(last.moduleLoaded);
    EXPECT_EQ(last.handles, first.handles);
    EXPECT_EQ(last.mappings, first.mappings);
    // Only the dynamic loader's own records may grow, by a few hundred bytes a cycle at most (it
    // frees them at exit; valgrind finds nothing else left); one lost fontconfig would cost a few
    // hundred kilobytes a cycle.
    EXPECT_LE(last.heapBytes - first.heapBytes, 32 * 1024);
}

ORV_ON_EVERY_FORMAT(ModuleLifetime);
