// What a host learns about an effect's parameters through the dispatcher alone: names, labels
// and the display texts at the start and at both ends of each range. The VST 2.x interface has
// no range query, so the ends are read from a separate instance whose parameters are moved to
// normalised 0 and 1; the caller's own instances are never touched.
#pragma once

#include <string>
#include <vector>

#include "host/vst_host.h"

namespace host {

struct ParameterInfo {
    std::string name;
    std::string label;
    std::string initial;  // the display text of a fresh, opened instance: the default
    std::string lowest;   // the display text at normalised 0
    std::string highest;  // the display text at normalised 1
};

// Fills params from a probe instance created through entry and bound to host, closed again
// before returning; false when the entry point creates no effect.
bool DescribeParameters(EntryPoint entry, RecordingHost& host, std::vector<ParameterInfo>* params);

}  // namespace host
