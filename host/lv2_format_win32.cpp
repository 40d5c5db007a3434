// LV2 is a Linux format: on Windows its row in the table takes no path.
#include "host/plugin_formats.h"

namespace host {

namespace {

bool TakesNoPath(const std::string&) { return false; }

}  // namespace

const PluginFormat kLv2Format = {"LV2", &TakesNoPath, nullptr};

}  // namespace host
