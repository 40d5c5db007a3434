// orv-bench: measures a VST 2.x module as a host runs it: processing cost, start-up time and
// the memory each further instance adds. Prints one JSON object on its last line.
//   orv-bench [--plugin PATH] [--seconds S] [--rate HZ] [--block N] [--stereo 0|1]
//             [--quality 0|1] [--instances N]
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/vst_host.h"

using namespace vst2;

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Options {
    std::string plugin = ORV_DEFAULT_PLUGIN;
    double seconds = 10;
    double rate = 48000;
    int block = 512;
    int stereo = 1;
    int quality = 1;
    int instances = 8;
};

bool Parse(int argc, char** argv, Options& o) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const char* v = argv[i + 1];
        if (key == "--plugin")
            o.plugin = v;
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
        else
            return false;
    }
    return argc % 2 == 1 && o.seconds > 0 && o.rate > 0 && o.block > 0 && o.instances >= 2;
}

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

// Creates an effect and brings it to the running state; returns the wall time in ms.
double Start(host::RecordingHost& recordingHost, host::EntryPoint entry, const Options& o,
             AEffect** created) {
    const auto begin = std::chrono::steady_clock::now();
    AEffect* effect = recordingHost.Instantiate(entry);
    if (effect != nullptr) {
        host::HostedEffect(effect).Start(static_cast<float>(o.rate), o.block);
    }
    const auto end = std::chrono::steady_clock::now();
    *created = effect;
    return std::chrono::duration<double, std::milli>(end - begin).count();
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!Parse(argc, argv, o)) {
        std::fprintf(stderr,
                     "usage: orv-bench [--plugin PATH] [--seconds S] [--rate HZ] [--block N]\n"
                     "                 [--stereo 0|1] [--quality 0|1] [--instances N]\n");
        return 1;
    }
    std::string error;
    auto module = host::VstModule::Load(o.plugin, &error);
    if (!module) {
        std::fprintf(stderr, "orv-bench: cannot load %s: %s\n", o.plugin.c_str(), error.c_str());
        return 1;
    }
    host::EntryPoint entry = module->Entry("VSTPluginMain");
    host::RecordingHost recordingHost;

    std::vector<AEffect*> effects(o.instances, nullptr);
    const double firstMs = Start(recordingHost, entry, o, &effects[0]);
    if (effects[0] == nullptr) {
        std::fprintf(stderr, "orv-bench: the entry point created no effect\n");
        return 1;
    }
    // Each instance plays one block before memory is read, so its buffers count as resident.
    std::vector<double> silence(o.block, 0.0), sink0(o.block), sink1(o.block);
    double* silentIn[] = {silence.data(), silence.data()};
    double* sinkOut[] = {sink0.data(), sink1.data()};
    auto playOneBlock = [&](AEffect* effect) {
        host::HostedEffect(effect).ProcessDoubleReplacing(silentIn, sinkOut, o.block);
    };
    playOneBlock(effects[0]);
    const long residentBefore = ResidentBytes();
    double laterMs = 0;
    for (int i = 1; i < o.instances; ++i) {
        laterMs += Start(recordingHost, entry, o, &effects[i]);
        if (effects[i] != nullptr) playOneBlock(effects[i]);
    }
    laterMs /= o.instances - 1;
    const long bytesPerInstance = (ResidentBytes() - residentBefore) / (o.instances - 1);

    host::HostedEffect fx(effects[0]);
    fx.SetParameter(4, o.stereo ? 1.0f : 0.0f);
    fx.SetParameter(5, o.quality ? 1.0f : 0.0f);
    std::vector<double> in0(o.block), in1(o.block), out0(o.block), out1(o.block);
    double* inputs[] = {in0.data(), in1.data()};
    double* outputs[] = {out0.data(), out1.data()};
    const long frames = static_cast<long>(o.seconds * o.rate);
    long done = 0;
    double cpu = 0;
    while (done < frames) {
        for (int i = 0; i < o.block; ++i) {
            const double t = static_cast<double>(done + i) / o.rate;
            in0[i] = 0.5 * std::sin(2 * kPi * 110 * t) + 0.2 * std::sin(2 * kPi * 1650 * t);
            in1[i] = 0.5 * std::sin(2 * kPi * 165 * t);
        }
        const double begin = ThreadCpuSeconds();
        fx.ProcessDoubleReplacing(inputs, outputs, o.block);
        cpu += ThreadCpuSeconds() - begin;
        done += o.block;
    }
    for (AEffect* effect : effects) host::HostedEffect(effect).Close();

    const double audioSeconds = static_cast<double>(done) / o.rate;
    std::printf(
        "{\"realtime_factor\": %.1f, \"ns_per_frame\": %.1f, \"instantiate_ms_first\": %.2f, "
        "\"instantiate_ms_later\": %.2f, \"bytes_per_instance\": %ld, \"rate\": %.0f, "
        "\"block\": %d, \"stereo\": %d, \"quality\": %d, \"seconds\": %.1f}\n",
        audioSeconds / cpu, cpu * 1e9 / done, firstMs, laterMs, bytesPerInstance, o.rate, o.block,
        o.stereo, o.quality, audioSeconds);
    return 0;
}
