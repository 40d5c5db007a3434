#include "tests/fuzz/fuzz_effect.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "editor/bitmap_control.h"
#include "tests/fuzz/fuzz_check.h"
#include "vst/vst_entry.h"

using namespace vst2;

namespace {

// Beyond anything the circuit gives at any rate it accepts, whatever the input and the settings
// (about 17 at most).
constexpr double kEngagedOutputBound = 64.0;

// The host's rate between inputs: at the lowest rate hosts use, the engines settle (after a new
// instance, a change of rate or of Quality) in a fifth of the time they take at 44.1 kHz.
constexpr float kBaseRate = 8000.0f;

// The plain ranges the product declares, in index order.
constexpr double kMin[ORV_Q12::kParamCount] = {0.0001, 0, 0, 0, 0, 0, 0};
constexpr double kMax[ORV_Q12::kParamCount] = {2, 10, 10, 10, 1, 1, 1};

VstPlugin* CreateWithHeadlessEditor(audioMasterCallback host) {
    return new (std::nothrow) ORV_Q12(host, &HeadlessEditor::Create);
}

std::vector<std::uint8_t> SavedChunk(FuzzEffect& fx, int index) {
    void* data = nullptr;
    const intptr size = fx.Dispatch(effGetChunk, index, 0, &data);
    FUZZ_CHECK(size > 0 && data != nullptr);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return std::vector<std::uint8_t>(bytes, bytes + size);
}

}  // namespace

FuzzEffect::FuzzEffect() {
    Create(true);
    defaultBank_ = SavedChunk(*this, 0);
    FUZZ_CHECK(TryReset());
}

FuzzEffect::~FuzzEffect() { Dispatch(effClose); }

void FuzzEffect::Create(bool open) {
    effect_ = CreateVstEffect(&FuzzEffect::HostCallback, &CreateWithHeadlessEditor);
    FUZZ_CHECK(effect_ != nullptr);
    effect_->resvd1 = reinterpret_cast<intptr>(this);
    fx_ = static_cast<ORV_Q12*>(VstPlugin::FromEffect(effect_));
    editor_ = static_cast<HeadlessEditor*>(fx_->AttachedEditor());
    FUZZ_CHECK(editor_ != nullptr);
    Dispatch(effSetSampleRate, 0, 0, nullptr, kBaseRate);
    if (open) Dispatch(effOpen);
    connectedInputs_ = connectedOutputs_ = 2;
    for (bool& open : editOpen_) open = false;
}

void FuzzEffect::Recreate(bool open) {
    FuzzTrace("recreate");
    Dispatch(effClose);
    Create(open);
}

intptr FuzzEffect::Dispatch(int32 opcode, int32 index, intptr value, void* ptr, float opt) {
    const intptr result = effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
    if (opcode == effSetSpeakerArrangement) {
        const auto* inputs = reinterpret_cast<const VstSpeakerArrangement*>(value);
        const auto* outputs = static_cast<const VstSpeakerArrangement*>(ptr);
        if (inputs != nullptr) connectedInputs_ = inputs->numChannels;
        if (outputs != nullptr) connectedOutputs_ = outputs->numChannels;
    }
    return result;
}

void FuzzEffect::SetParameter(int32 index, float value) const {
    effect_->setParameter(effect_, index, value);
}

float FuzzEffect::GetParameter(int32 index) const { return effect_->getParameter(effect_, index); }

void FuzzEffect::Reset() {
    if (TryReset()) return;
    Recreate();
    FUZZ_CHECK(TryReset());
}

void FuzzEffect::ResetParameters() {
    VstSpeakerArrangement stereo{};
    stereo.type = kSpeakerArrStereo;
    stereo.numChannels = 2;
    Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<intptr>(&stereo), &stereo);
    std::vector<std::uint8_t> bank = defaultBank_;
    FUZZ_CHECK(Dispatch(effSetChunk, 0, static_cast<intptr>(bank.size()), bank.data()) == 1);
    Dispatch(effSetSampleRate, 0, 0, nullptr, kBaseRate);
    // A new size fills every scratch buffer with silence: a disconnected input reads its own.
    Dispatch(effSetBlockSize, 0, 1023);
    Dispatch(effSetBlockSize, 0, 1024);
    Dispatch(effMainsChanged, 0, 1);
    for (bool& open : editOpen_) open = false;
}

bool FuzzEffect::TryReset() {
    ResetParameters();
    // A sample far beyond any signal makes both engines heal back to the rest state of their
    // last settling, and both oversamplers to silence.
    SetParameter(ORV_Q12::kStereo, 1.0f);
    StereoBlock huge(1);
    huge.left[0] = huge.right[0] = 1e300;
    Play(huge);
    // A tone then shows whether that rest state is the one a new instance settles to: a change
    // of rate or quality made the engines settle anew, from wherever they were.
    StereoBlock tone(32);
    for (int s = 0; s < 32; ++s) tone.left[s] = tone.right[s] = 0.3 * std::sin(0.2 * s);
    const std::vector<double> probe = Play(tone);
    SetParameter(ORV_Q12::kStereo, 0.0f);
    if (probeReference_.empty()) probeReference_ = probe;
    return probe == probeReference_;
}

std::vector<double> FuzzEffect::Play(const StereoBlock& block) {
    std::vector<double> in[2] = {block.left, block.right};
    std::vector<double> out(2 * block.left.size());
    double* inputs[2] = {in[0].data(), in[1].data()};
    double* outputs[2] = {out.data(), out.data() + block.left.size()};
    effect_->processDoubleReplacing(effect_, inputs, outputs,
                                    static_cast<int32>(block.left.size()));
    return out;
}

void FuzzEffect::EndGestures() {
    HeadlessEditor& editor = *editor_;
    if (editor.EntryBoxOpen()) {
        editor.EntryFocusChanged(false);
        editor.Tick();
    }
    editor.Release(-1, -1, MouseButton::Left);
    editor.Release(-1, -1, MouseButton::Right);
}

void FuzzEffect::CheckParameters() const {
    for (int i = 0; i < ORV_Q12::kParamCount; ++i) {
        const float normalized = GetParameter(i);
        FUZZ_CHECK(normalized >= 0.0f && normalized <= 1.0f);
        // A host's buffer for a display text: eight bytes, the NUL included.
        char* display = static_cast<char*>(std::calloc(kVstMaxParamStrLen, 1));
        effect_->dispatcher(effect_, effGetParamDisplay, i, 0, display, 0.0f);
        FUZZ_CHECK(std::memchr(display, '\0', kVstMaxParamStrLen) != nullptr);
        const double shown = std::strtod(display, nullptr);
        // The text is rounded to the parameter's step (0.001 at the finest).
        if (!(shown >= kMin[i] - 0.001 && shown <= kMax[i] + 0.001)) {
            std::fprintf(stderr, "parameter %d shows \"%s\"\n", i, display);
            FUZZ_CHECK(!"a display text outside the parameter's range");
        }
        std::free(display);
    }
    FUZZ_CHECK(GetParameter(-1) == 0.0f && GetParameter(ORV_Q12::kParamCount) == 0.0f);
}

void FuzzEffect::CheckChunkRoundTrip() {
    for (int index : {1, 0}) {
        float before[ORV_Q12::kParamCount];
        for (int i = 0; i < ORV_Q12::kParamCount; ++i) before[i] = GetParameter(i);
        std::vector<std::uint8_t> saved = SavedChunk(*this, index);
        std::vector<std::uint8_t> handedBack = saved;
        FUZZ_CHECK(Dispatch(effSetChunk, index, static_cast<intptr>(handedBack.size()),
                            handedBack.data()) == 1);
        FUZZ_CHECK(SavedChunk(*this, index) == saved);
        for (int i = 0; i < ORV_Q12::kParamCount; ++i) FUZZ_CHECK(GetParameter(i) == before[i]);
    }
}

void FuzzEffect::CheckNoEditOpen() const {
    for (bool open : editOpen_) FUZZ_CHECK(!open);
}

template <typename Sample>
void FuzzEffect::CheckOutputs(const StereoBlock& block, const std::vector<Sample>* outputs,
                              int frames, bool engaged, AccumulatedOnto onto) const {
    const std::vector<double>* inputs[2] = {&block.left, &block.right};
    // Samples the host actually handed over: the float path rounds the block to floats.
    auto input = [&](int channel, int s) {
        return static_cast<Sample>((*inputs[channel])[static_cast<size_t>(s)]);
    };
    bool finiteInput = connectedInputs_ >= 2;  // else an input reads its scratch buffer
    for (int c = 0; c < 2 && finiteInput; ++c) {
        for (int s = 0; s < frames; ++s) finiteInput = finiteInput && std::isfinite(input(c, s));
    }
    if (!finiteInput) return;
    for (int c = 0; c < 2 && c < connectedOutputs_; ++c) {
        for (int s = 0; s < frames; ++s) {
            const Sample out = outputs[c][static_cast<size_t>(s)];
            const Sample held = onto == AccumulatedOnto::Input ? input(c, s) : Sample(0);
            if (!engaged) {
                // Bypassed: the input itself, added to what the buffer held.
                FUZZ_CHECK(onto == AccumulatedOnto::Nothing ? out == input(c, s)
                                                            : out == Sample(held + input(c, s)));
                continue;
            }
            FUZZ_CHECK(std::isfinite(out));
            // What the effect added; exact enough only while the held sample is small.
            if (std::fabs(held) <= 1e6 &&
                !(std::fabs(double(out) - double(held)) <= kEngagedOutputBound)) {
                std::fprintf(stderr, "output %d, frame %d of %d: %g at %g Hz\n", c, s, frames,
                             double(out) - double(held), fx_->SampleRate());
                FUZZ_CHECK(!"an engaged output beyond the circuit's reach");
            }
        }
    }
}

void FuzzEffect::CheckProcess(const StereoBlock& block, AudioPath path, bool inPlace) {
    const int frames = static_cast<int>(block.left.size());
    const bool engaged = fx_->Engaged();
    if (path == AudioPath::Double) {
        std::vector<double> in[2] = {block.left, block.right};
        // NaN marks a sample the effect failed to write.
        std::vector<double> out[2] = {std::vector<double>(block.left.size(), NAN),
                                      std::vector<double>(block.left.size(), NAN)};
        double* inputs[2] = {in[0].data(), in[1].data()};
        double* outputs[2] = {out[0].data(), out[1].data()};
        effect_->processDoubleReplacing(effect_, inputs, inPlace ? inputs : outputs, frames);
        CheckOutputs(block, inPlace ? in : out, frames, engaged, AccumulatedOnto::Nothing);
        return;
    }
    const bool accumulating = path == AudioPath::Accumulating;
    std::vector<float> in[2], out[2];
    for (int c = 0; c < 2; ++c) {
        const std::vector<double>& source = c == 0 ? block.left : block.right;
        in[c].assign(source.begin(), source.end());
        // The accumulating path adds to what the host's buffer holds: silence here.
        out[c].assign(source.size(), accumulating ? 0.0f : NAN);
    }
    float* inputs[2] = {in[0].data(), in[1].data()};
    float* outputs[2] = {out[0].data(), out[1].data()};
    float** destination = inPlace ? inputs : outputs;
    if (accumulating) {
        effect_->process(effect_, inputs, destination, frames);
    } else {
        effect_->processReplacing(effect_, inputs, destination, frames);
    }
    AccumulatedOnto onto = AccumulatedOnto::Nothing;
    if (accumulating) onto = inPlace ? AccumulatedOnto::Input : AccumulatedOnto::Silence;
    CheckOutputs(block, inPlace ? in : out, frames, engaged, onto);
}

intptr FuzzEffect::HostCallback(AEffect* effect, int32 opcode, int32 index, intptr /*value*/,
                                void* /*ptr*/, float opt) {
    auto* self = effect != nullptr ? reinterpret_cast<FuzzEffect*>(effect->resvd1) : nullptr;
    switch (opcode) {
        case audioMasterVersion: return kVstVersion;
        case audioMasterAutomate:
            FUZZ_CHECK(index >= 0 && index < ORV_Q12::kParamCount);
            FUZZ_CHECK(opt >= 0.0f && opt <= 1.0f);
            return 0;
        case audioMasterBeginEdit:
        case audioMasterEndEdit:
            FUZZ_CHECK(index >= 0 && index < ORV_Q12::kParamCount);
            // Every edit that begins ends once, and none ends unbegun.
            if (self != nullptr) {
                const bool begin = opcode == audioMasterBeginEdit;
                FUZZ_CHECK(self->editOpen_[index] != begin);
                self->editOpen_[index] = begin;
            }
            return 0;
        default: return 0;
    }
}

StereoBlock MakeBlock(FuzzedDataProvider& in, int frames) {
    StereoBlock block(frames);
    const int kind = in.ConsumeIntegralInRange(0, 4);
    FuzzTrace("  signal kind %d", kind);
    auto fill = [&](std::vector<double>& channel) {
        switch (kind) {
            case 0: break;  // silence
            case 1: {
                const double amplitude = in.ConsumeFloatingPointInRange(-4.0, 4.0);
                const double step = in.ConsumeFloatingPointInRange(0.0, 3.2);
                for (int s = 0; s < frames; ++s) channel[s] = amplitude * std::sin(step * s);
                break;
            }
            case 2: {
                std::uint64_t bits = in.ConsumeIntegral<std::uint64_t>();
                double value;
                std::memcpy(&value, &bits, sizeof value);
                for (double& s : channel) s = value;
                break;
            }
            case 3: {
                const double amplitude = in.ConsumeFloatingPoint<double>();
                std::uint32_t state = in.ConsumeIntegral<std::uint32_t>() | 1u;
                for (double& s : channel) {
                    state ^= state << 13;
                    state ^= state >> 17;
                    state ^= state << 5;
                    s = amplitude * (static_cast<double>(state) / 2147483648.0 - 1.0);
                }
                break;
            }
            default: {
                const std::vector<std::uint8_t> bytes =
                    in.ConsumeBytes<std::uint8_t>(static_cast<size_t>(frames) * sizeof(double));
                if (!bytes.empty()) std::memcpy(channel.data(), bytes.data(), bytes.size());
                break;
            }
        }
    };
    fill(block.left);
    if (in.ConsumeBool()) {
        block.right = block.left;
    } else {
        fill(block.right);
    }
    return block;
}

float AnyFloat(FuzzedDataProvider& in) {
    if (in.ConsumeBool()) return in.ConsumeProbability<float>();
    const std::uint32_t bits = in.ConsumeIntegral<std::uint32_t>();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void FuzzTrace(const char* format, ...) {
    static const bool enabled = std::getenv("ORV_FUZZ_TRACE") != nullptr;
    if (!enabled) return;
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stderr, format, arguments);
    va_end(arguments);
    std::fputc('\n', stderr);
}
