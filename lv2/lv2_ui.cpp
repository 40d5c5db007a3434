#include "lv2/lv2_ui.h"

#include <lv2/atom/atom.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstring>

#include "lv2/lv2_plugin.h"

namespace {

Lv2Plugin* PluginOf(LV2UI_Handle ui) { return static_cast<Lv2Plugin*>(ui); }

const LV2_Feature* Feature(const LV2_Feature* const* features, const char* uri) {
    for (const LV2_Feature* const* f = features; f != nullptr && *f != nullptr; ++f) {
        if ((*f)->URI != nullptr && std::strcmp((*f)->URI, uri) == 0) return *f;
    }
    return nullptr;
}

// The host learns the size it cannot ask for from the UI's request.
void TellSize(const LV2_Feature* const* features, int width, int height) {
    const LV2_Feature* feature = Feature(features, LV2_UI__resize);
    const auto* resize =
        feature != nullptr ? static_cast<const LV2UI_Resize*>(feature->data) : nullptr;
    if (resize != nullptr && resize->ui_resize != nullptr)
        resize->ui_resize(resize->handle, width, height);
}

// The host's ui:scaleFactor option, or 0.
float ScaleFactor(const LV2_Feature* const* features) {
    const LV2_Feature* options = Feature(features, LV2_OPTIONS__options);
    const LV2_Feature* map = Feature(features, LV2_URID__map);
    if (options == nullptr || options->data == nullptr || map == nullptr || map->data == nullptr)
        return 0.0f;
    const auto* urids = static_cast<const LV2_URID_Map*>(map->data);
    const LV2_URID key = urids->map(urids->handle, LV2_UI__scaleFactor);
    const LV2_URID floatType = urids->map(urids->handle, LV2_ATOM__Float);
    for (const auto* o = static_cast<const LV2_Options_Option*>(options->data); o->key != 0; ++o) {
        if (o->key == key && o->type == floatType && o->size == sizeof(float) &&
            o->value != nullptr) {
            return *static_cast<const float*>(o->value);
        }
    }
    return 0.0f;
}

int Idle(LV2UI_Handle ui) {
    if (Lv2Plugin* plugin = PluginOf(ui)) plugin->IdleUi();
    // The window is the host's to close: it never closes itself.
    return 0;
}

constexpr LV2UI_Idle_Interface kIdleInterface = {&Idle};

}  // namespace

LV2UI_Handle InstantiateLv2Ui(LV2UI_Write_Function write, LV2UI_Controller controller,
                              LV2UI_Widget* widget, const LV2_Feature* const* features) {
    const LV2_Feature* instance = Feature(features, LV2_INSTANCE_ACCESS_URI);
    const LV2_Feature* parent = Feature(features, LV2_UI__parent);
    if (widget == nullptr || instance == nullptr || instance->data == nullptr ||
        parent == nullptr) {
        return nullptr;
    }
    Lv2Plugin* plugin = static_cast<Lv2Plugin*>(instance->data);
    Lv2Plugin::UiLink link;
    link.write = write;
    link.controller = controller;
    if (const LV2_Feature* touch = Feature(features, LV2_UI__touch))
        link.touch = static_cast<const LV2UI_Touch*>(touch->data);
    if (const LV2_Feature* resize = Feature(features, LV2_UI__resize))
        link.resize = static_cast<const LV2UI_Resize*>(resize->data);
    link.scaleFactor = ScaleFactor(features);
    void* window = plugin->OpenUi(parent->data, link);
    if (window == nullptr) return nullptr;
    int width = 0, height = 0;
    plugin->EditorSize(&width, &height);
    TellSize(features, width, height);
    *widget = window;
    return plugin;
}

void CleanupLv2Ui(LV2UI_Handle ui) {
    if (Lv2Plugin* plugin = PluginOf(ui)) plugin->CloseUi();
}

void Lv2UiPortEvent(LV2UI_Handle ui, uint32_t port, uint32_t size, uint32_t format,
                    const void* buffer) {
    Lv2Plugin* plugin = PluginOf(ui);
    // Format 0 is a control port's float; the panel shows nothing else.
    if (plugin == nullptr || format != 0 || size != sizeof(float) || buffer == nullptr) return;
    float value;
    std::memcpy(&value, buffer, sizeof value);
    plugin->PortEvent(port, value);
}

const void* Lv2UiExtensionData(const char* uri) {
    if (uri != nullptr && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdleInterface;
    return nullptr;
}
