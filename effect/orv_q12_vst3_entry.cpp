// The VST 3 module's factory export: ORV Q12 bound to the VST 3 factory. A host calls
// GetPluginFactory after the module's entry function (vst3/vst3_module_entry_*.cpp) and makes
// its instances through the factory. ORV_EXPORT comes from the build (orv_plugin_module).
#include "effect/orv_q12.h"
#include "vst3/vst3_factory.h"

extern "C" ORV_EXPORT vst3::IPluginFactory* GetPluginFactory() {
    return AcquireVst3Factory(&ORV_Q12::Create);
}
