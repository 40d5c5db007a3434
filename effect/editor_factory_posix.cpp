#include "editor_x11/x11_editor.h"
#include "effect/editor_factory.h"

std::unique_ptr<Editor> CreatePlatformEditor(PluginBase* plug) {
    return std::make_unique<X11Editor>(plug);
}
