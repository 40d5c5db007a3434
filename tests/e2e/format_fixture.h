// The end-to-end suites written once for every format: each test runs on every plug-in module
// the build made (generated/orv_modules.h), loaded through the host library by its path, as a
// host loads it. A module is loaded once per test program; instances a test makes are destroyed
// at its end.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/plugin_host.h"
#include "tests/e2e/signals.h"
#include "tests/e2e/state_bytes.h"

struct BuiltModule {
    const char* format;  // vst2, vst3, clap, lv2
    const char* path;
};

// Every module the build made, in the order the formats were added.
std::vector<BuiltModule> BuiltModules();
// The test name of a module's tests: its format.
std::string FormatOf(const ::testing::TestParamInfo<BuiltModule>& info);
// The module, loaded on first use and kept until the program ends; null, with a failure
// reported, when it cannot be loaded.
host::PluginModule* LoadedModule(const BuiltModule& built);

// Runs the parameterised suite Suite on every built module.
#define ORV_ON_EVERY_FORMAT(Suite) \
    INSTANTIATE_TEST_SUITE_P(Formats, Suite, ::testing::ValuesIn(BuiltModules()), FormatOf)

class FormatTest : public ::testing::TestWithParam<BuiltModule> {
protected:
    void SetUp() override;
    void TearDown() override;

    host::PluginModule& Module() { return *module_; }
    // A new instance, as a host has it before it starts processing.
    host::PluginInstance& Create();
    // A new instance, started at the rate for blocks of at most `block` frames.
    host::PluginInstance& Started(double rate = kRate, int block = 512);

private:
    host::PluginModule* module_ = nullptr;
    std::vector<std::unique_ptr<host::PluginInstance>> instances_;
};

// Double- or single-precision processing in blocks of the given size, two channels.
Stereo Render(host::PluginInstance& fx, const std::vector<double>& left,
              const std::vector<double>& right, int block);
Stereo RenderFloat(host::PluginInstance& fx, const std::vector<double>& left,
                   const std::vector<double>& right, int block);
