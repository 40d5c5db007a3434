// The VST 2 module's exported entry points: ORV Q12 bound to the VST 2 entry. A host calls
// VSTPluginMain (or the same function under the name main) once per effect instance it creates.
// ORV_EXPORT comes from the build (orv_plugin_module): dllexport on Windows, default visibility
// elsewhere, where a version script keeps every other symbol local.
#include "effect/orv_q12.h"
#include "vst/vst_entry.h"

extern "C" ORV_EXPORT vst2::AEffect* VSTPluginMain(vst2::audioMasterCallback host) {
    return CreateVstEffect(host, &ORV_Q12::Create);
}

// C++ reserves the name main for the program's entry, so the second export is an alias whose
// symbol is set by an assembler label.
extern "C" ORV_EXPORT vst2::AEffect* vstMainAlias(vst2::audioMasterCallback host) asm("main");
vst2::AEffect* vstMainAlias(vst2::audioMasterCallback host) { return VSTPluginMain(host); }
