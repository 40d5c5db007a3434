// Host call sequences and state bytes through the host of any format (host/plugin_host.h), on a
// module linked into this program: the format's effect and entry file, bound by the format's
// FuzzedModule (format_fuzz_<format>.cpp). The bytes are read as the calls of one host on an
// instance in the state of a new one: starts and stops at rates hosts use, the channel
// configuration, parameters set to any double (at sample offsets too, where the format has them)
// and from any text, audio in both precisions with any samples and frame counts up to the block
// size, in place or not, states saved and restored and states made of the input's bytes. After
// every call the parameters read in range; output is finite for finite input; at the end a saved
// state restores exactly and the instance plays finite sound.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/plugin_host.h"
#include "tests/fuzz/fuzz_check.h"

// The format's module, its entry points linked into this program.
std::unique_ptr<host::PluginModule> FuzzedModule();

namespace {

constexpr int kParams = 7;
constexpr double kRates[] = {8000, 11025, 22050, 44100, 48000, 96000};
// Where every input starts: at the lowest rate hosts use the engines settle fastest.
constexpr double kBaseRate = 8000;
constexpr int kBaseBlock = 256;

// What a host keeps between calls, and what is left of the input's budget: settling the engines
// at a new rate and playing long blocks are what take time.
struct HostState {
    int blockSize = kBaseBlock;
    int channels = 2;
    bool started = false;
    host::Bytes saved;
    int framesLeft = 4096;
    int startsLeft = 1;
};

// A double as a host may send one: in 0..1 most of the time, else any bit pattern.
double AnyDouble(FuzzedDataProvider& in) {
    if (in.ConsumeIntegralInRange(0, 3) > 0) return in.ConsumeProbability<double>();
    const std::uint64_t bits = in.ConsumeIntegral<std::uint64_t>();
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}

void CheckParameters(host::PluginInstance& fx) {
    for (int i = 0; i < kParams; ++i) {
        const double v = fx.GetParam(i);
        FUZZ_CHECK(v >= 0.0 && v <= 1.0);
        FUZZ_CHECK(!fx.ParamDisplay(i).empty());
    }
}

// A block of the chosen kind through the instance; finite input must give finite output.
template <typename Sample>
void Play(host::PluginInstance& fx, FuzzedDataProvider& in, HostState& host, int frames) {
    std::vector<Sample> buffers[4];
    const int kind = in.ConsumeIntegralInRange(0, 3);
    const double level = kind == 3 ? AnyDouble(in) : 1.0;
    for (int c = 0; c < 4; ++c) {
        buffers[c].resize(static_cast<std::size_t>(frames));
        for (int s = 0; s < frames && c < 2; ++s) {
            switch (kind) {
                case 0: buffers[c][s] = 0; break;
                case 1:
                    buffers[c][s] = static_cast<Sample>(0.5 * std::sin(0.05 * s * (c + 1)));
                    break;
                case 2:
                    buffers[c][s] = static_cast<Sample>(in.ConsumeFloatingPointInRange(-1.0, 1.0));
                    break;
                default: buffers[c][s] = static_cast<Sample>(level); break;
            }
        }
    }
    bool finite = true;
    for (int c = 0; c < host.channels; ++c) {
        for (Sample v : buffers[c]) finite = finite && std::isfinite(v);
    }
    const bool inPlace = in.ConsumeBool();
    Sample* inputs[] = {buffers[0].data(), buffers[1].data()};
    Sample* outputs[] = {buffers[inPlace ? 0 : 2].data(), buffers[inPlace ? 1 : 3].data()};
    fx.Process(inputs, outputs, frames);
    if (!finite || !host.started) return;
    for (int c = 0; c < host.channels; ++c) {
        for (int s = 0; s < frames; ++s) FUZZ_CHECK(std::isfinite(outputs[c][s]));
    }
}

void Step(host::PluginInstance& fx, FuzzedDataProvider& in, HostState& host) {
    switch (in.ConsumeIntegralInRange(0, 9)) {
        case 0:
            if (host.startsLeft-- > 0) {
                host.blockSize = in.ConsumeIntegralInRange(1, 2048);
                host.started = fx.Start(in.PickValueInArray(kRates), host.blockSize);
            }
            break;
        case 1:
            fx.Stop();
            host.started = false;
            if (in.ConsumeBool()) {
                const int channels = in.ConsumeIntegralInRange(1, 2);
                if (fx.SetChannels(channels)) host.channels = channels;
            }
            break;
        case 2: fx.SetParam(in.ConsumeIntegralInRange(-1, kParams), AnyDouble(in)); break;
        case 3:
            fx.SetParamAt(in.ConsumeIntegralInRange(-1, kParams), AnyDouble(in),
                          in.ConsumeIntegralInRange(-1, host.blockSize));
            break;
        case 4:
            fx.SetParamFromText(in.ConsumeIntegralInRange(-1, kParams),
                                in.ConsumeRandomLengthString(40));
            break;
        case 5:
        case 6: {
            const int frames =
                std::min(in.ConsumeIntegralInRange(0, host.blockSize), host.framesLeft);
            host.framesLeft -= frames;
            if (in.ConsumeBool()) {
                Play<float>(fx, in, host, frames);
            } else {
                Play<double>(fx, in, host, frames);
            }
            break;
        }
        case 7: host.saved = fx.SaveState(); break;
        case 8:
            if (!host.saved.empty()) FUZZ_CHECK(fx.LoadState(host.saved));
            break;
        default:
            fx.LoadState(in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange(0, 100)));
            break;
    }
    CheckParameters(fx);
}

// One instance for every input: a new one costs as much as hundreds of short inputs (its engines
// settle first). Reset brings back the state of a new one, as the host sees it and inside: a
// sample far beyond any signal makes both engines heal back to their rest state and the
// oversamplers to silence, and a short tone then proves it, sounding as it does in a new one.
class ReusedInstance {
public:
    explicit ReusedInstance(host::PluginModule& module) : module_(module) { Reset(); }

    host::PluginInstance& Reset() {
        if (fx_ == nullptr || !TryReset()) {
            fx_ = module_.CreateInstance();
            FUZZ_CHECK(fx_ != nullptr);
            if (defaults_.empty()) defaults_ = fx_->SaveState();
            FUZZ_CHECK(TryReset());
        }
        return *fx_;
    }

private:
    bool TryReset() {
        fx_->Stop();
        // False where the format has only the stereo configuration: it is in it.
        fx_->SetChannels(2);
        if (!fx_->LoadState(defaults_) || !fx_->Start(kBaseRate, kBaseBlock)) return false;
        fx_->SetParam(kStereo, 1.0);
        double huge[] = {1e300, 1e300}, sink[2];
        double* hugeIn[] = {&huge[0], &huge[1]};
        double* sinkOut[] = {&sink[0], &sink[1]};
        fx_->Process(hugeIn, sinkOut, 1);
        std::vector<double> probe[2] = {std::vector<double>(32), std::vector<double>(32)};
        std::vector<double> tone(32);
        for (int s = 0; s < 32; ++s) tone[s] = 0.3 * std::sin(0.2 * s);
        double* toneIn[] = {tone.data(), tone.data()};
        double* probeOut[] = {probe[0].data(), probe[1].data()};
        fx_->Process(toneIn, probeOut, 32);
        fx_->SetParam(kStereo, 0.0);
        probe[0].insert(probe[0].end(), probe[1].begin(), probe[1].end());
        if (reference_.empty()) reference_ = probe[0];
        return probe[0] == reference_ && fx_->SaveState() == defaults_;
    }

    static constexpr int kStereo = 4;

    host::PluginModule& module_;
    std::unique_ptr<host::PluginInstance> fx_;
    host::Bytes defaults_;
    std::vector<double> reference_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::unique_ptr<host::PluginModule> module = FuzzedModule();
    FUZZ_CHECK(module != nullptr);
    static ReusedInstance reused(*module);
    host::PluginInstance& fx = reused.Reset();
    HostState host;
    host.started = true;
    FuzzedDataProvider in(data, size);
    for (int steps = 0; in.remaining_bytes() > 0 && steps < 64; ++steps) Step(fx, in, host);

    const host::Bytes state = fx.SaveState();
    FUZZ_CHECK(!state.empty() && fx.LoadState(state) && fx.SaveState() == state);
    if (!host.started) {
        host.channels = 2;
        fx.SetChannels(2);
        FUZZ_CHECK(fx.Start(kBaseRate, host.blockSize));
        host.started = true;
    }
    FuzzedDataProvider silence(nullptr, 0);
    Play<double>(fx, silence, host, std::min(host.blockSize, 64));
    return 0;
}
