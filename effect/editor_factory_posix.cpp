#include "editor_x11/x11_editor.h"
#include "effect/editor_factory.h"
#include "plugin/make_nothrow.h"

std::unique_ptr<Editor> CreatePlatformEditor(PluginBase* plug) {
    return MakeNothrow<X11Editor>(plug);
}
