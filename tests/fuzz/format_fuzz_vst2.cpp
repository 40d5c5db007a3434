// The VST 2 module for format_fuzz.cpp: its entry point, linked into the fuzzer.
#include "host/vst2_plugin_host.h"

extern "C" vst2::AEffect* VSTPluginMain(vst2::audioMasterCallback host);

std::unique_ptr<host::PluginModule> FuzzedModule() {
    return std::make_unique<host::Vst2Module>(&VSTPluginMain);
}
