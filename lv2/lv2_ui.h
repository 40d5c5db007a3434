// The plug-in's UI, of type ui:X11UI: the plug-in object's own panel, reached through
// instance-access and opened as a child of the host's window (ui:parent). The host's idle
// interface drives it: X events and the 20 ms redraw tick in the UI's idle call. The panel's
// edits go to the host through the port protocol (the write function, ui:touch for gestures);
// the host's values come back through port_event.
// Lifecycle: instantiate opens the panel, cleanup closes it; the UI lives within the plug-in
// instance it shows (instance-access asks the host for that), and one instance shows one UI.
// Threads: the host's user-interface thread.
#pragma once

#include <lv2/ui/ui.h>

// The panel of the plug-in instance the host hands over, in its window; null without the
// features it needs (instance-access, ui:parent), for an instance whose UI is open already, or
// when the window cannot be opened.
LV2UI_Handle InstantiateLv2Ui(LV2UI_Write_Function write, LV2UI_Controller controller,
                              LV2UI_Widget* widget, const LV2_Feature* const* features);

void CleanupLv2Ui(LV2UI_Handle ui);
void Lv2UiPortEvent(LV2UI_Handle ui, uint32_t port, uint32_t size, uint32_t format,
                    const void* buffer);
// The idle interface (ui:idleInterface); nothing else.
const void* Lv2UiExtensionData(const char* uri);

// The descriptor of the UI at uri whose instantiate calls InstantiateLv2Ui.
constexpr LV2UI_Descriptor Lv2UiDescriptor(
    const char* uri, LV2UI_Handle (*instantiate)(const LV2UI_Descriptor*, const char*, const char*,
                                                 LV2UI_Write_Function, LV2UI_Controller,
                                                 LV2UI_Widget*, const LV2_Feature* const*)) {
    return {uri, instantiate, &CleanupLv2Ui, &Lv2UiPortEvent, &Lv2UiExtensionData};
}
