// The CLAP module's export: ORV Q12 bound to the CLAP entry and its plug-in factory. A host
// reads the data object clap_entry, calls its init, then asks the factory for instances.
// ORV_EXPORT comes from the build (orv_plugin_module): dllexport on Windows, default visibility
// elsewhere, where a version script keeps every other symbol local.
#include "clap/clap_entry.h"
#include "effect/orv_q12.h"

namespace {

const clap::clap_plugin* CreatePlugin(const clap::clap_plugin_factory*, const clap::clap_host* host,
                                      const char* pluginId) {
    return CreateClapPlugin(host, pluginId, &ORV_Q12::Create);
}

const clap::clap_plugin_factory kFactory = {&ClapPluginCount, &ClapPluginDescriptor, &CreatePlugin};

const void* GetFactory(const char* factoryId) { return ClapFactory(factoryId, &kFactory); }

}  // namespace

extern "C" ORV_EXPORT const clap::clap_plugin_entry clap_entry = {clap::kVersion, &ClapEntryInit,
                                                                  &ClapEntryDeinit, &GetFactory};
