// Where the effect's editor comes from: the platform's own editor by default (the only place
// that names a platform editor class), or any factory a test or tool hands the effect.
#pragma once

#include <memory>

class Editor;
class PluginBase;

// A new editor for the plug-in; null only when memory is short, which the effect then takes as
// a failed construction.
using EditorFactory = std::unique_ptr<Editor> (*)(PluginBase* plug);

// The editor of the platform the module runs on.
std::unique_ptr<Editor> CreatePlatformEditor(PluginBase* plug);
