// orv-q12's command line:
//   orv-q12 [--no-gui] [--no-connect] [--name NAME] [--state FILE] [--param NAME=VALUE]...
//           [--verbose] [--help] [--version]
#pragma once

#include <string>
#include <vector>

#include "tools/param_option.h"

struct StandaloneOptions {
    bool gui = true;
    bool connect = true;
    bool verbose = false;
    bool help = false;
    bool version = false;
    std::string clientName = ORV_STANDALONE_PROGRAM;
    std::string stateFile;  // empty: the default file in the user's configuration folder
    std::vector<ParamOption> params;
};

// Reads the command line into options; empty on success, else the error.
std::string ParseStandaloneOptions(int argc, const char* const* argv, StandaloneOptions* options);

// What --help prints: every option, and where the program keeps its settings.
extern const char kStandaloneUsage[];
