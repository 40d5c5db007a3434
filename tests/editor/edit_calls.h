// What a host heard of the editor's edits, read from a recording host's calls: one parameter's
// edits as letters, and whether every edit that began also ended.
#pragma once

#include <string>
#include <vector>

#include "host/vst_host.h"

// One parameter's edits in order: Begin (B), Automate (A), End (E).
inline std::string EditsOf(const std::vector<host::HostCallRecord>& calls, int index) {
    std::string edits;
    for (const host::HostCallRecord& call : calls) {
        if (call.index != index) continue;
        if (call.opcode == vst2::audioMasterBeginEdit) edits += 'B';
        if (call.opcode == vst2::audioMasterAutomate) edits += 'A';
        if (call.opcode == vst2::audioMasterEndEdit) edits += 'E';
    }
    return edits;
}

// Empty when every edit that began ended once and none ended unbegun; else what went wrong.
inline std::string UnbalancedEdits(const std::vector<host::HostCallRecord>& calls) {
    constexpr int kParams = 64;
    bool open[kParams] = {};
    std::string faults;
    for (const host::HostCallRecord& call : calls) {
        const bool begin = call.opcode == vst2::audioMasterBeginEdit;
        if (!begin && call.opcode != vst2::audioMasterEndEdit) continue;
        if (call.index < 0 || call.index >= kParams) {
            faults += "no such parameter: " + std::to_string(call.index) + "; ";
            continue;
        }
        if (open[call.index] == begin) {
            faults += (begin ? "begun twice: " : "ended unbegun: ") + std::to_string(call.index);
            faults += "; ";
        }
        open[call.index] = begin;
    }
    for (int i = 0; i < kParams; ++i) {
        if (open[i]) faults += "left open: " + std::to_string(i) + "; ";
    }
    return faults;
}
