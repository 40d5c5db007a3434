// orv-bench: measures plug-in modules of any format as a host runs them: processing cost (on
// average and in the worst block), start-up time and the memory each further instance adds.
// Prints, for each module in turn, one summary line and one JSON object on the line after it.
//   orv-bench [--plugin PATH]... [--seconds S] [--rate HZ] [--block N] [--stereo 0|1]
//             [--quality 0|1] [--instances N] [--signal sine|noise] [--drive D] [--input I]
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/plugin_host.h"
#include "host/white_noise.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Options {
    std::vector<std::string> plugins;  // none: the freshly built VST 2 module
    double seconds = 10;
    double rate = 48000;
    int block = 512;
    int stereo = 1;
    int quality = 1;
    int instances = 8;
    std::string signal = "sine";
    double drive = 5;  // plain values, the effect's defaults
    double input = 1;
};

bool Parse(int argc, char** argv, Options& o) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const char* v = argv[i + 1];
        if (key == "--plugin")
            o.plugins.push_back(v);
        else if (key == "--seconds")
            o.seconds = std::atof(v);
        else if (key == "--rate")
            o.rate = std::atof(v);
        else if (key == "--block")
            o.block = std::atoi(v);
        else if (key == "--stereo")
            o.stereo = std::atoi(v);
        else if (key == "--quality")
            o.quality = std::atoi(v);
        else if (key == "--instances")
            o.instances = std::atoi(v);
        else if (key == "--signal")
            o.signal = v;
        else if (key == "--drive")
            o.drive = std::atof(v);
        else if (key == "--input")
            o.input = std::atof(v);
        else
            return false;
    }
    return argc % 2 == 1 && o.seconds > 0 && o.rate > 0 && o.block > 0 && o.instances >= 2 &&
           (o.signal == "sine" || o.signal == "noise") && o.drive >= 0 && o.drive <= 10 &&
           o.input >= 0.0001 && o.input <= 2;
}

// The signal played, one block at a time: "sine" is two tones on the left and one on the right
// at moderate levels; "noise" is independent full-scale white noise on each channel, the
// brightest and loudest input, on which the diode solver works hardest.
class TestSignal {
public:
    TestSignal(const std::string& kind, double rate) : noise_(kind == "noise"), rate_(rate) {}

    void Fill(double* left, double* right, int frames) {
        for (int i = 0; i < frames; ++i, ++frame_) {
            if (noise_) {
                left[i] = generator_.Next();
                right[i] = generator_.Next();
            } else {
                const double t = static_cast<double>(frame_) / rate_;
                left[i] = 0.5 * std::sin(2 * kPi * 110 * t) + 0.2 * std::sin(2 * kPi * 1650 * t);
                right[i] = 0.5 * std::sin(2 * kPi * 165 * t);
            }
        }
    }

private:
    bool noise_;
    double rate_;
    long frame_ = 0;
    host::WhiteNoise generator_{1};  // the same noise on every run
};

double ThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

long ResidentBytes() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * sysconf(_SC_PAGESIZE);
}

// Creates an instance and brings it to the running state; returns the wall time in ms.
double Start(host::PluginModule& module, const Options& o,
             std::unique_ptr<host::PluginInstance>* created) {
    const auto begin = std::chrono::steady_clock::now();
    std::unique_ptr<host::PluginInstance> instance = module.CreateInstance();
    if (instance != nullptr && !instance->Start(o.rate, o.block)) instance.reset();
    const auto end = std::chrono::steady_clock::now();
    *created = std::move(instance);
    return std::chrono::duration<double, std::milli>(end - begin).count();
}

// Plain values, as a user types them: the plug-in's text to value sets them exactly.
void SetPlain(host::PluginInstance& fx, int index, double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", value);
    fx.SetParamFromText(index, text);
}

// The text as a JSON string's contents.
std::string JsonEscaped(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        if (c == '"' || c == '\\') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

// Benchmarks one module and prints its two lines, the summary led by the format's name when
// `named`; false when the module cannot be loaded or started.
bool Bench(const std::string& path, const Options& o, bool named) {
    std::string error;
    const std::unique_ptr<host::PluginModule> module = host::LoadPlugin(path, &error);
    if (!module) {
        std::fprintf(stderr, "orv-bench: cannot load %s: %s\n", path.c_str(), error.c_str());
        return false;
    }

    std::vector<std::unique_ptr<host::PluginInstance>> effects(o.instances);
    const double firstMs = Start(*module, o, &effects[0]);
    if (effects[0] == nullptr) {
        std::fprintf(stderr, "orv-bench: %s made no running instance\n", path.c_str());
        return false;
    }
    // Each instance plays one block before memory is read, so its buffers count as resident.
    std::vector<double> silence(o.block, 0.0), sink0(o.block), sink1(o.block);
    double* silentIn[] = {silence.data(), silence.data()};
    double* sinkOut[] = {sink0.data(), sink1.data()};
    auto playOneBlock = [&](host::PluginInstance& fx) { fx.Process(silentIn, sinkOut, o.block); };
    playOneBlock(*effects[0]);
    const long residentBefore = ResidentBytes();
    double laterMs = 0;
    for (int i = 1; i < o.instances; ++i) {
        laterMs += Start(*module, o, &effects[i]);
        if (effects[i] != nullptr) playOneBlock(*effects[i]);
    }
    laterMs /= o.instances - 1;
    const long bytesPerInstance = (ResidentBytes() - residentBefore) / (o.instances - 1);

    host::PluginInstance& fx = *effects[0];
    SetPlain(fx, 0, o.input);
    SetPlain(fx, 1, o.drive);
    fx.SetParam(4, o.stereo ? 1.0 : 0.0);
    fx.SetParam(5, o.quality ? 1.0 : 0.0);
    std::vector<double> in0(o.block), in1(o.block), out0(o.block), out1(o.block);
    double* inputs[] = {in0.data(), in1.data()};
    double* outputs[] = {out0.data(), out1.data()};
    TestSignal signal(o.signal, o.rate);
    const long frames = static_cast<long>(o.seconds * o.rate);
    long done = 0;
    long blocks = 0;
    double cpu = 0;
    double worst = 0;
    while (done < frames) {
        signal.Fill(in0.data(), in1.data(), o.block);
        const double begin = ThreadCpuSeconds();
        fx.Process(inputs, outputs, o.block);
        const double spent = ThreadCpuSeconds() - begin;
        cpu += spent;
        worst = std::max(worst, spent);
        done += o.block;
        ++blocks;
    }
    effects.clear();

    const double audioSeconds = static_cast<double>(done) / o.rate;
    const double blockSeconds = o.block / o.rate;
    const double meanMs = cpu * 1e3 / blocks;
    const double worstMs = worst * 1e3;
    if (named) std::printf("%s: ", module->FormatName());
    std::printf(
        "%s, %s, Quality %d, %.0f Hz, %d frames: %.1f times real time; a block takes %.3f ms "
        "(%.2f %% of its %.2f ms) on average, %.3f ms (%.2f %%) at worst\n",
        o.signal.c_str(), o.stereo ? "stereo" : "mono", o.quality, o.rate, o.block,
        audioSeconds / cpu, meanMs, 100 * meanMs / (blockSeconds * 1e3), blockSeconds * 1e3,
        worstMs, 100 * worstMs / (blockSeconds * 1e3));
    std::printf(
        "{\"realtime_factor\": %.1f, \"ns_per_frame\": %.1f, \"block_ms_mean\": %.4f, "
        "\"block_ms_worst\": %.4f, \"block_share_mean\": %.5f, \"block_share_worst\": %.5f, "
        "\"instantiate_ms_first\": %.2f, \"instantiate_ms_later\": %.2f, "
        "\"bytes_per_instance\": %ld, \"rate\": %.0f, \"block\": %d, \"stereo\": %d, "
        "\"quality\": %d, \"signal\": \"%s\", \"drive\": %.3f, \"input\": %.4f, "
        "\"seconds\": %.1f, \"format\": \"%s\", \"plugin\": \"%s\"}\n",
        audioSeconds / cpu, cpu * 1e9 / done, meanMs, worstMs, meanMs / (blockSeconds * 1e3),
        worstMs / (blockSeconds * 1e3), firstMs, laterMs, bytesPerInstance, o.rate, o.block,
        o.stereo, o.quality, o.signal.c_str(), o.drive, o.input, audioSeconds, module->FormatName(),
        JsonEscaped(path).c_str());
    std::fflush(stdout);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!Parse(argc, argv, o)) {
        std::fprintf(
            stderr,
            "usage: orv-bench [--plugin PATH]... [--seconds S] [--rate HZ] [--block N]\n"
            "                 [--stereo 0|1] [--quality 0|1] [--instances N]\n"
            "                 [--signal sine|noise] [--drive 0..10] [--input 0.0001..2]\n");
        return 1;
    }
    if (o.plugins.empty()) o.plugins.push_back(ORV_DEFAULT_PLUGIN);
    for (const std::string& path : o.plugins) {
        if (!Bench(path, o, o.plugins.size() > 1)) return 1;
    }
    return 0;
}
