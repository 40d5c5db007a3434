// Loads the freshly built ORV Q12 module once per test program and creates effects through
// its exported entry point, as a host does. Effects still open at the end of a test are closed.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "host/vst_host.h"
#include "tests/e2e/pi.h"

inline host::VstModule& OrvModule() {
    static std::unique_ptr<host::VstModule> module = [] {
        std::string error;
        auto loaded = host::VstModule::Load(ORV_MODULE_PATH, &error);
        if (!loaded) ADD_FAILURE() << error;
        return loaded;
    }();
    return *module;
}

class ModuleTest : public ::testing::Test {
protected:
    host::HostedEffect Create(const char* entryName = "VSTPluginMain") {
        host::EntryPoint entry = OrvModule().Entry(entryName);
        EXPECT_NE(entry, nullptr) << entryName;
        vst2::AEffect* effect = host_.Instantiate(entry);
        EXPECT_NE(effect, nullptr);
        effects_.emplace_back(effect);
        return effects_.back();
    }

    // Created and opened: the effect has heard every parameter value, as after a host's effOpen.
    host::HostedEffect CreateOpened(const char* entryName = "VSTPluginMain") {
        host::HostedEffect effect = Create(entryName);
        effect.Dispatch(vst2::effOpen);
        return effect;
    }

    void TearDown() override {
        for (host::HostedEffect& effect : effects_) effect.Close();
    }

    host::RecordingHost host_;
    std::vector<host::HostedEffect> effects_;
};
