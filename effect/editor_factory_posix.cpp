#include "editor_headless/headless_editor.h"
#include "effect/editor_factory.h"
#include "plugin/make_nothrow.h"

// No native Linux window yet: the offscreen editor keeps the panel, its controls and the
// footswitch latch, and the host is told there is no editor to open.
std::unique_ptr<Editor> CreatePlatformEditor(PluginBase* plug) {
    return MakeNothrow<HeadlessEditor>(plug);
}
