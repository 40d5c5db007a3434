// orv-q12: the ORV Q12 overdrive as a program of its own, a JACK client with the pedal's panel
// in a window. See standalone_options.cpp for the command line.
#include <cstdio>

#include "generated/orv_identity.h"
#include "standalone/standalone_app.h"
#include "standalone/standalone_options.h"

int main(int argc, char** argv) {
    StandaloneOptions options;
    const std::string problem = ParseStandaloneOptions(argc, argv, &options);
    if (!problem.empty()) {
        std::fprintf(stderr, "orv-q12: %s (orv-q12 --help lists the options)\n", problem.c_str());
        return 1;
    }
    if (options.help) {
        std::fputs(kStandaloneUsage, stdout);
        return 0;
    }
    if (options.version) {
        std::printf(ORV_STANDALONE_PROGRAM " (%s by %s) %s\n", identity::kProductName,
                    identity::kVendorName, identity::kVersionText);
        return 0;
    }
    return RunStandalone(options);
}
