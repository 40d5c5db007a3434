// orv-q12's effect: ORV Q12 bound to the standalone program, which makes one at start.
#include "effect/orv_q12.h"
#include "standalone/standalone_entry.h"

std::unique_ptr<StandalonePlugin> CreateStandaloneEffect() {
    std::unique_ptr<StandalonePlugin> plugin(ORV_Q12::Create(StandaloneHost{}));
    if (plugin == nullptr) return nullptr;
    if (!plugin->IsComplete() || !plugin->AddPreset("Empty", plugin->PresetCount())) return nullptr;
    return plugin;
}
