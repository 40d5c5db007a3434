#include "standalone/standalone_options.h"

const char kStandaloneUsage[] =
    "usage: orv-q12 [OPTION]...\n"
    "The ORV Q12 overdrive as a JACK program: two inputs, two outputs and the pedal's panel.\n"
    "\n"
    "  --no-gui            run without a window (no display needed); stop it with Ctrl+C\n"
    "  --no-connect        leave the connections to you (qjackctl, Carla, jack_connect);\n"
    "                      by default the inputs take the first two capture ports (a mono\n"
    "                      one feeds both) and the outputs go to the first two playback ports\n"
    "  --name NAME         the JACK client's name (default orv-q12)\n"
    "  --state FILE        keep the settings in FILE instead of\n"
    "                      $XDG_CONFIG_HOME/orv-q12/state (~/.config/orv-q12/state)\n"
    "  --param NAME=VALUE  set a parameter at start, from its plain value (Drive=7.5);\n"
    "                      may be given more than once\n"
    "  --verbose           say what the program does: the server's rate and buffer size, the\n"
    "                      connections, the state file, the xruns\n"
    "  --version           print the version and exit\n"
    "  --help              print this help and exit\n"
    "\n"
    "The settings are saved when the program ends (the window's close button, Ctrl+C,\n"
    "SIGTERM, or the JACK server shutting down) and restored at the next start. The server\n"
    "is the one $JACK_DEFAULT_SERVER names, else the default one; under PipeWire, start the\n"
    "program as pw-jack orv-q12.\n";

std::string ParseStandaloneOptions(int argc, const char* const* argv, StandaloneOptions* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--name" || arg == "--state" || arg == "--param") {
            if (i + 1 >= argc) return arg + " needs a value";
            const char* value = argv[++i];
            if (arg == "--param") {
                ParamOption param;
                const std::string problem = ParseParamOption(value, &param);
                if (!problem.empty()) return problem;
                options->params.push_back(param);
            } else if (value[0] == '\0') {
                return arg + " needs a value";
            } else if (arg == "--name") {
                options->clientName = value;
            } else {
                options->stateFile = value;
            }
        } else if (arg == "--no-gui") {
            options->gui = false;
        } else if (arg == "--no-connect") {
            options->connect = false;
        } else if (arg == "--verbose" || arg == "-v") {
            options->verbose = true;
        } else if (arg == "--help" || arg == "-h") {
            options->help = true;
        } else if (arg == "--version") {
            options->version = true;
        } else {
            return "unknown argument " + arg;
        }
    }
    return "";
}
