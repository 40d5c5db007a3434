// The LV2 module's exported entry points: ORV Q12 bound to the LV2 descriptors, the plug-in's and
// its UI's, which the bundle's description names by their URIs. ORV_EXPORT comes from the build
// (orv_plugin_module): default visibility, where a version script keeps every other symbol local.
#include <cstring>

#include "effect/orv_q12.h"
#include "lv2/lv2_entry.h"
#include "lv2/lv2_ui.h"

namespace {

LV2_Handle Instantiate(const LV2_Descriptor* /*descriptor*/, double sampleRate,
                       const char* /*bundlePath*/, const LV2_Feature* const* features) {
    return InstantiateLv2Plugin(&ORV_Q12::Create, sampleRate, features);
}

// Only this plug-in's instances are ours to show.
LV2UI_Handle InstantiateUi(const LV2UI_Descriptor* /*descriptor*/, const char* pluginUri,
                           const char* /*bundlePath*/, LV2UI_Write_Function write,
                           LV2UI_Controller controller, LV2UI_Widget* widget,
                           const LV2_Feature* const* features) {
    if (pluginUri == nullptr || std::strcmp(pluginUri, identity::kLv2Uri) != 0) return nullptr;
    return InstantiateLv2Ui(write, controller, widget, features);
}

constexpr LV2_Descriptor kPlugin = Lv2PluginDescriptor(identity::kLv2Uri, &Instantiate);
constexpr LV2UI_Descriptor kUi = Lv2UiDescriptor(identity::kLv2UiUri, &InstantiateUi);

}  // namespace

extern "C" ORV_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index == 0 ? &kPlugin : nullptr;
}

extern "C" ORV_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &kUi : nullptr;
}
