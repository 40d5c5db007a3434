#include "editor_win32/win32_editor.h"
#include "effect/editor_factory.h"

std::unique_ptr<Editor> CreatePlatformEditor(PluginBase* plug) {
    return std::make_unique<Win32Editor>(plug);
}
