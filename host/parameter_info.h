// What a host learns about a plug-in's parameters, in any format: names, labels and the display
// texts at the start and at both ends of each range. Where the format can format a value without
// setting it, the ends are asked for; where it cannot (VST 2 has no range query), they are read
// from a separate instance whose parameters are moved to normalised 0 and 1. The caller's own
// instances are never touched.
#pragma once

#include <string>
#include <vector>

#include "host/plugin_host.h"

namespace host {

struct ParameterInfo {
    std::string name;
    std::string label;
    std::string initial;  // the display text of a fresh instance: the default
    std::string lowest;   // the display text at normalised 0
    std::string highest;  // the display text at normalised 1
};

// Fills params from a probe instance of the module, destroyed again before returning; false
// when the module makes no instance.
bool DescribeParameters(PluginModule& module, std::vector<ParameterInfo>* params);

}  // namespace host
