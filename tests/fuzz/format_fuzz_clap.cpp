// The CLAP module for format_fuzz.cpp, linked into the fuzzer: its entry file comes along, and
// the host library's CLAP host reaches it through the exported entry object as it would in a
// .clap file, its state through streams that move a few bytes at a time.
#include "host/clap_plugin_host.h"

extern "C" const clap::clap_plugin_entry clap_entry;

std::unique_ptr<host::PluginModule> FuzzedModule() {
    return host::ClapModule::FromEntry(&clap_entry, nullptr);
}
