#include "editor_win32/win32_editor.h"
#include "effect/editor_factory.h"
#include "plugin/make_nothrow.h"

std::unique_ptr<Editor> CreatePlatformEditor(PluginBase* plug) {
    return MakeNothrow<Win32Editor>(plug);
}
