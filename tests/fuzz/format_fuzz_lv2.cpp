// The LV2 module for format_fuzz.cpp: its entry file linked into the fuzzer, its description read
// from the bundle folder of the build tree (the fuzz tree makes the bundle's files, not its
// binary).
#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include <cstdio>
#include <cstdlib>

#include "host/lv2_plugin_host.h"

extern "C" const LV2_Descriptor* lv2_descriptor(uint32_t index);
extern "C" const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index);

std::unique_ptr<host::PluginModule> FuzzedModule() {
    std::string error;
    std::unique_ptr<host::PluginModule> module =
        host::Lv2Module::Linked(ORV_LV2_BUNDLE, &lv2_descriptor, &lv2ui_descriptor, &error);
    if (module == nullptr) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::abort();
    }
    return module;
}
