// The VST 2 module for format_fuzz.cpp, linked into the fuzzer. Its entry file cannot come along
// (its second export is named main, which libFuzzer's own main is), so this makes the effect as
// that entry point does.
#include "effect/orv_q12.h"
#include "host/vst2_plugin_host.h"
#include "vst/vst_entry.h"

namespace {

vst2::AEffect* Entry(vst2::audioMasterCallback host) {
    return CreateVstEffect(host, &ORV_Q12::Create);
}

}  // namespace

std::unique_ptr<host::PluginModule> FuzzedModule() {
    return std::make_unique<host::Vst2Module>(&Entry);
}
