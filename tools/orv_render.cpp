// orv-render: runs a WAV file through a plug-in module of any format the host library loads, as a
// host would, and writes the result.
//   orv-render [--plugin PATH] [--param NAME=VALUE]... [--rate HZ] [--block N]
//              [--precision 32|64] IN.wav OUT.wav
//   orv-render [--plugin PATH] --list-params
#include <sndfile.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/parameter_info.h"
#include "host/plugin_host.h"
#include "tools/param_option.h"

namespace {

struct Options {
    std::string plugin = ORV_DEFAULT_PLUGIN;
    std::vector<ParamOption> params;
    double rate = 0;  // 0: the file's own rate
    int block = 512;
    int precision = 32;
    bool listParams = false;
    std::string input;
    std::string output;
};

int Fail(const std::string& message) {
    std::fprintf(stderr, "orv-render: %s\n", message.c_str());
    return 1;
}

const char kUsage[] =
    "usage: orv-render [--plugin PATH] [--param NAME=VALUE]... [--rate HZ] [--block N]\n"
    "                  [--precision 32|64] IN.wav OUT.wav\n"
    "       orv-render [--plugin PATH] --list-params\n";

// Reads the command line; an empty result means success, otherwise it is the error.
std::string ParseArguments(int argc, char** argv, Options& options) {
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
        if (arg == "--plugin" || arg == "--param" || arg == "--rate" || arg == "--block" ||
            arg == "--precision") {
            const char* v = value();
            if (v == nullptr) return arg + " needs a value";
            char* end = nullptr;
            if (arg == "--plugin") {
                options.plugin = v;
            } else if (arg == "--param") {
                ParamOption param;
                const std::string problem = ParseParamOption(v, &param);
                if (!problem.empty()) return problem;
                options.params.push_back(param);
            } else if (arg == "--rate") {
                options.rate = std::strtod(v, &end);
                if (*end != '\0' || !(options.rate > 0) || options.rate > 1536000) {
                    return "--rate takes a positive rate in Hz, not '" + std::string(v) + "'";
                }
            } else if (arg == "--block") {
                const long block = std::strtol(v, &end, 10);
                if (*end != '\0' || block < 1 || block > 65536)
                    return "--block takes 1 to 65536 frames";
                options.block = static_cast<int>(block);
            } else {
                options.precision = std::atoi(v);
                if (options.precision != 32 && options.precision != 64)
                    return "--precision takes 32 or 64";
            }
        } else if (arg == "--list-params") {
            options.listParams = true;
        } else if (arg == "--help" || arg == "-h") {
            return "help";
        } else if (arg.size() > 1 && arg[0] == '-') {
            return "unknown option " + arg;
        } else {
            files.push_back(arg);
        }
    }
    if (options.listParams) return files.empty() ? "" : "--list-params takes no files";
    if (files.size() != 2) return "expected IN.wav and OUT.wav";
    options.input = files[0];
    options.output = files[1];
    return "";
}

// The index of the parameter whose name matches, or -1 with the error.
int FindParameter(host::PluginInstance& fx, const std::string& name, std::string* error) {
    std::vector<std::string> names;
    for (int i = 0; i < fx.ParamCount(); ++i) names.push_back(fx.ParamName(i));
    return FindParamByName(names, name, error);
}

std::string WithLabel(const std::string& display, const host::ParameterInfo& info) {
    return DisplayWithLabel(display, info.label, info.name);
}

// One line per parameter: name, range and default, in columns.
void ListParameters(const std::vector<host::ParameterInfo>& params) {
    std::size_t nameWidth = 0, rangeWidth = 0;
    std::vector<std::string> ranges;
    for (const host::ParameterInfo& info : params) {
        ranges.push_back(info.lowest + " .. " + WithLabel(info.highest, info));
        nameWidth = std::max(nameWidth, info.name.size());
        rangeWidth = std::max(rangeWidth, ranges.back().size());
    }
    for (std::size_t i = 0; i < params.size(); ++i) {
        std::printf("%-*s  %-*s  default %s\n", static_cast<int>(nameWidth), params[i].name.c_str(),
                    static_cast<int>(rangeWidth), ranges[i].c_str(),
                    WithLabel(params[i].initial, params[i]).c_str());
    }
}

// Processes interleaved frames through the effect in place, in either precision.
template <typename Sample>
struct Renderer {
    std::vector<Sample> interleaved;
    std::vector<Sample> in[2], out[2];

    explicit Renderer(int block) : interleaved(2 * static_cast<size_t>(block)) {
        for (int c = 0; c < 2; ++c) in[c].resize(block), out[c].resize(block);
    }

    void Run(host::PluginInstance& fx, int channels, int frames) {
        for (int i = 0; i < frames; ++i) {
            in[0][i] = interleaved[i * channels];
            in[1][i] = interleaved[i * channels + channels - 1];  // mono feeds both inputs
        }
        Sample* inputs[] = {in[0].data(), in[1].data()};
        Sample* outputs[] = {out[0].data(), out[1].data()};
        fx.Process(inputs, outputs, frames);
        for (int i = 0; i < frames; ++i) {
            for (int c = 0; c < channels; ++c) interleaved[i * channels + c] = out[c][i];
        }
    }
};

sf_count_t ReadFrames(SNDFILE* file, float* data, sf_count_t frames) {
    return sf_readf_float(file, data, frames);
}
sf_count_t ReadFrames(SNDFILE* file, double* data, sf_count_t frames) {
    return sf_readf_double(file, data, frames);
}
sf_count_t WriteFrames(SNDFILE* file, const float* data, sf_count_t frames) {
    return sf_writef_float(file, data, frames);
}
sf_count_t WriteFrames(SNDFILE* file, const double* data, sf_count_t frames) {
    return sf_writef_double(file, data, frames);
}

template <typename Sample>
bool Render(host::PluginInstance& fx, SNDFILE* in, SNDFILE* out, const SF_INFO& info, int block) {
    Renderer<Sample> renderer(block);
    const bool showProgress = isatty(STDERR_FILENO) && info.frames > 10 * info.samplerate;
    sf_count_t done = 0;
    int shownPercent = -1;
    for (;;) {
        const sf_count_t frames = ReadFrames(in, renderer.interleaved.data(), block);
        if (frames <= 0) break;
        renderer.Run(fx, info.channels, static_cast<int>(frames));
        if (WriteFrames(out, renderer.interleaved.data(), frames) != frames) return false;
        done += frames;
        const int percent = static_cast<int>(100 * done / (info.frames > 0 ? info.frames : 1));
        if (showProgress && percent != shownPercent) {
            std::fprintf(stderr, "\rrendering %3d%%", percent);
            shownPercent = percent;
        }
    }
    if (showProgress) std::fprintf(stderr, "\n");
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    const std::string problem = ParseArguments(argc, argv, options);
    if (problem == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!problem.empty()) {
        std::fputs(kUsage, stderr);
        return Fail(problem);
    }

    std::string error;
    const std::unique_ptr<host::PluginModule> module = host::LoadPlugin(options.plugin, &error);
    if (!module) return Fail("cannot load " + options.plugin + ": " + error);
    module->SetHostName("orv-render");
    // Ranges come from an instance of their own, made before the one that renders.
    std::vector<host::ParameterInfo> params;
    if (options.listParams || !options.params.empty()) {
        if (!host::DescribeParameters(*module, &params))
            return Fail(options.plugin + " makes no plug-in instance");
    }
    if (options.listParams) {
        ListParameters(params);
        return 0;
    }

    SF_INFO info{};
    SNDFILE* in = sf_open(options.input.c_str(), SFM_READ, &info);
    if (in == nullptr) return Fail("cannot read " + options.input + ": " + sf_strerror(nullptr));
    if (info.channels < 1 || info.channels > 2) {
        sf_close(in);
        return Fail("unsupported format: " + options.input + " has " +
                    std::to_string(info.channels) + " channels (1 or 2 are supported)");
    }

    std::unique_ptr<host::PluginInstance> fx = module->CreateInstance();
    if (fx == nullptr) return sf_close(in), Fail(options.plugin + " makes no plug-in instance");

    const double rate = options.rate > 0 ? options.rate : info.samplerate;
    if (!fx->Start(rate, options.block)) {
        sf_close(in);
        return Fail(options.plugin + " does not start at " + std::to_string(rate) + " Hz");
    }
    for (const ParamOption& param : options.params) {
        std::string unknown;
        const int index = FindParameter(*fx, param.name, &unknown);
        if (index < 0) {
            sf_close(in);
            return Fail(unknown);
        }
        if (!fx->SetParamFromText(index, param.value)) {
            sf_close(in);
            return Fail("cannot set " + param.name + " to '" + param.value + "'");
        }
        if (index >= static_cast<int>(params.size())) continue;
        // Named as the range shows them, with what the effect made of the value.
        const host::ParameterInfo& info = params[index];
        const std::string warning =
            OutOfRangeWarning(info.name, param.value, info.lowest, info.highest,
                              WithLabel(fx->ParamDisplay(index), info));
        if (!warning.empty()) std::fprintf(stderr, "orv-render: %s\n", warning.c_str());
    }

    SF_INFO outInfo{};
    outInfo.samplerate = static_cast<int>(rate);
    outInfo.channels = info.channels;
    outInfo.format = SF_FORMAT_WAV | (options.precision == 64 ? SF_FORMAT_DOUBLE : SF_FORMAT_FLOAT);
    SNDFILE* out = sf_open(options.output.c_str(), SFM_WRITE, &outInfo);
    if (out == nullptr) {
        sf_close(in);
        return Fail("cannot write " + options.output + ": " + sf_strerror(nullptr));
    }

    const bool ok = options.precision == 64 ? Render<double>(*fx, in, out, info, options.block)
                                            : Render<float>(*fx, in, out, info, options.block);
    fx.reset();
    sf_close(in);
    sf_close(out);
    if (!ok) return Fail("writing " + options.output + " failed");
    return 0;
}
