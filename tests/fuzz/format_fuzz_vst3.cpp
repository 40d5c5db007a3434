// The VST 3 module for format_fuzz.cpp, linked into the fuzzer: its factory export, made from the
// module's own entry file, through the host's VST 3 format as a loaded bundle would be.
#include "host/vst3_plugin_host.h"

extern "C" vst3::IPluginFactory* GetPluginFactory();

std::unique_ptr<host::PluginModule> FuzzedModule() {
    return std::make_unique<host::Vst3Module>(&GetPluginFactory);
}
