// The formats host/ can load, each in a file of its own that defines its row: a name, which
// paths it takes, and how it loads one. LoadPlugin asks them in the order of the table in
// plugin_formats.cpp. A new format declares its row here and adds it to the table.
#pragma once

#include <memory>
#include <string>

#include "host/plugin_host.h"

namespace host {

struct PluginFormat {
    const char* name;
    // True for a path this format loads (told by its name: a suffix, a bundle folder).
    bool (*takesPath)(const std::string& path);
    std::unique_ptr<PluginModule> (*load)(const std::string& path, std::string* error);
};

// A .clap file.
extern const PluginFormat kClapFormat;
// An .lv2 bundle folder (Linux).
extern const PluginFormat kLv2Format;
// A .vst3 bundle folder (or file).
extern const PluginFormat kVst3Format;
// Takes any file: it comes last.
extern const PluginFormat kVst2Format;

}  // namespace host
