// Host call sequences: the bytes are read as the calls of one host on one instance, in any
// order: every dispatcher opcode with bounded arguments and buffers of the sizes hosts give,
// parameters set to any float and read back, audio through all three callbacks with any frame
// count up to twice the announced block and any samples, rate and block-size changes, suspend
// and resume, program changes, chunks saved and restored, the instance closed and made again.
// After every call the parameters read in range; at the end a saved chunk restores exactly and
// the effect plays finite sound.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/fuzz/fuzz_check.h"
#include "tests/fuzz/fuzz_effect.h"

using namespace vst2;

namespace {

// Rates hosts run at; anything else comes as raw float bits, capped at 384 kHz so that one
// input cannot spend seconds settling the engines.
float ChooseRate(FuzzedDataProvider& in) {
    static constexpr float kRates[] = {8000,  11025, 16000,  22050,  32000,  44100, 48000,
                                       88200, 96000, 176400, 192000, 352800, 384000};
    if (in.ConsumeBool()) return in.PickValueInArray(kRates);
    const std::uint32_t bits = in.ConsumeIntegral<std::uint32_t>();
    float rate;
    std::memcpy(&rate, &bits, sizeof rate);
    return rate > 384000.0f && rate <= 1.6e6f ? 384000.0f : rate;
}

// A heap buffer of exactly the size a host gives, so that the address sanitizer sees a write
// past it.
std::vector<char> HostBuffer(std::size_t size) { return std::vector<char>(size, '\0'); }

// What a host keeps between calls: the announced block size and the chunks it saved. And what
// is left of the input's budget: settling the engines at a new rate and playing long blocks
// are what take time, and a million inputs have to run in an hour or so.
struct HostState {
    int blockSize = 1024;
    std::vector<std::uint8_t> saved[2];  // bank, program
    bool recreated = false;
    int framesLeft = 4096;
    int rateChangesLeft = 1;
};

// A block size as hosts announce them: any size up to 8192, small ones as often as large.
int ChooseBlockSize(FuzzedDataProvider& in) {
    if (in.ConsumeIntegralInRange(0, 15) == 0) return in.ConsumeIntegralInRange(-2, 0);
    const int bits = in.ConsumeIntegralInRange(0, 13);
    return in.ConsumeIntegralInRange(1 << bits, std::min(8192, (2 << bits) - 1));
}

// Buffers and records a dispatcher call may point into; they live until the call returns.
struct CallArguments {
    std::vector<char> text;
    std::vector<std::uint8_t> bytes;
    void* pointerSlot[2] = {};
    ERect rect{};
    VstPinProperties pin{};
    VstSpeakerArrangement arrangement[2]{};
    MidiKeyName key{};
    std::vector<VstMidiEvent> midi;
    std::vector<VstMidiSysexEvent> sysex;
    std::vector<char> sysexData;
    std::vector<std::uint8_t> eventsRecord;
};

// The text a host hands over: any bytes but NUL, up to a length hosts reach, or none at all.
void* TextArgument(FuzzedDataProvider& in, CallArguments& args) {
    if (in.ConsumeIntegralInRange(0, 7) == 0) return nullptr;
    const std::string text = in.ConsumeRandomLengthString(300);
    args.text.assign(text.c_str(), text.c_str() + std::strlen(text.c_str()) + 1);
    return args.text.data();
}

void* EventsArgument(FuzzedDataProvider& in, CallArguments& args) {
    if (in.ConsumeIntegralInRange(0, 7) == 0) return nullptr;
    const int count = in.ConsumeIntegralInRange(0, 4);
    args.midi.resize(static_cast<std::size_t>(count));
    args.sysex.resize(static_cast<std::size_t>(count));
    args.sysexData.assign(static_cast<std::size_t>(in.ConsumeIntegralInRange(0, 64)), '\x7f');
    // VstEvents ends in a variable-length array of event pointers.
    args.eventsRecord.assign(offsetof(VstEvents, events) + sizeof(VstEvent*) * (count + 1), 0);
    auto* events = reinterpret_cast<VstEvents*>(args.eventsRecord.data());
    events->numEvents = count;
    auto* slots =
        reinterpret_cast<VstEvent**>(args.eventsRecord.data() + offsetof(VstEvents, events));
    for (int i = 0; i < count; ++i) {
        VstEvent* event = nullptr;
        switch (in.ConsumeIntegralInRange(0, 3)) {
            case 0: break;  // a null entry
            case 1: {
                VstMidiEvent& midi = args.midi[static_cast<std::size_t>(i)];
                midi.type = kVstMidiType;
                midi.byteSize = sizeof(VstMidiEvent);
                midi.deltaFrames = in.ConsumeIntegral<int32>();
                for (char& b : midi.midiData) b = in.ConsumeIntegral<char>();
                event = reinterpret_cast<VstEvent*>(&midi);
                break;
            }
            case 2: {
                VstMidiSysexEvent& sysex = args.sysex[static_cast<std::size_t>(i)];
                sysex.type = kVstSysExType;
                sysex.byteSize = sizeof(VstMidiSysexEvent);
                sysex.deltaFrames = in.ConsumeIntegral<int32>();
                sysex.dumpBytes = static_cast<int32>(args.sysexData.size());
                sysex.sysexDump = args.sysexData.data();
                event = reinterpret_cast<VstEvent*>(&sysex);
                break;
            }
            default: {
                VstMidiEvent& other = args.midi[static_cast<std::size_t>(i)];
                other.type = in.ConsumeIntegral<int32>();
                other.byteSize = sizeof(VstMidiEvent);
                event = reinterpret_cast<VstEvent*>(&other);
                break;
            }
        }
        slots[i] = event;
    }
    return events;
}

// One dispatcher call with arguments of the shape its opcode takes.
void DispatcherCall(FuzzEffect& fx, FuzzedDataProvider& in, HostState& host) {
    int32 opcode = in.ConsumeIntegralInRange<int32>(-1, 80);
    if (opcode == effClose) opcode = effOpen;  // closing has its own step
    const int32 index = in.ConsumeIntegralInRange<int32>(-2, 9);
    intptr value = in.ConsumeIntegralInRange<intptr>(-2, 9);
    float opt = AnyFloat(in);
    CallArguments args;
    void* ptr = nullptr;
    std::vector<char> out;
    switch (opcode) {
        case effGetProgramName:
        case effGetProgramNameIndexed: out = HostBuffer(kVstMaxProgNameLen); break;
        case effGetParamLabel:
        case effGetParamDisplay:
        case effGetParamName:
        case effVendorSpecific: out = HostBuffer(kVstMaxParamStrLen); break;
        case effGetEffectName: out = HostBuffer(kVstMaxEffectNameLen); break;
        case effGetVendorString:
        case effGetProductString:
        case effShellGetNextPlugin: out = HostBuffer(kVstMaxVendorStrLen); break;
        case effSetProgramName:
        case effString2Parameter:
        case effCanDo: ptr = TextArgument(in, args); break;
        case effEditGetRect:
        case effGetChunk: ptr = &args.pointerSlot[0]; break;
        case effEditDraw: ptr = &args.rect; break;
        case effEditOpen: break;  // the offscreen editor opens no window
        case effSetChunk:
            args.bytes = in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange(0, 200));
            ptr = args.bytes.empty() ? nullptr : args.bytes.data();
            value = static_cast<intptr>(args.bytes.size());
            break;
        case effProcessEvents: ptr = EventsArgument(in, args); break;
        case effGetInputProperties:
        case effGetOutputProperties: ptr = &args.pin; break;
        case effSetSpeakerArrangement:
            for (VstSpeakerArrangement& a : args.arrangement) {
                a.numChannels = in.ConsumeIntegralInRange(-1, 8);
                a.type = a.numChannels == 1 ? kSpeakerArrMono : kSpeakerArrStereo;
            }
            value = in.ConsumeBool() ? reinterpret_cast<intptr>(&args.arrangement[0]) : 0;
            ptr = in.ConsumeBool() ? &args.arrangement[1] : nullptr;
            break;
        case effGetSpeakerArrangement:
            value = reinterpret_cast<intptr>(&args.pointerSlot[0]);
            ptr = &args.pointerSlot[1];
            break;
        case effGetMidiKeyName:
            args.key.thisKeyNumber = in.ConsumeIntegral<int32>();
            ptr = &args.key;
            break;
        case effSetSampleRate:
            // Past the budget the host repeats the rate it set.
            opt = host.rateChangesLeft-- > 0 ? ChooseRate(in)
                                             : static_cast<float>(fx.Fx().SampleRate());
            break;
        case effSetBlockSize: value = ChooseBlockSize(in); break;
        default:
            // Opcodes this effect does not handle still get a buffer, as some hosts pass one.
            out = HostBuffer(256);
            break;
    }
    if (!out.empty()) ptr = out.data();
    FuzzTrace("dispatcher(%d, %d, %lld, %p, %g)", opcode, index, static_cast<long long>(value), ptr,
              static_cast<double>(opt));
    const intptr result = fx.Dispatch(opcode, index, value, ptr, opt);

    switch (opcode) {
        case effGetProgramName:
        case effGetProgramNameIndexed:
        case effGetParamLabel:
        case effGetParamDisplay:
        case effGetParamName:
        case effGetEffectName:
        case effGetVendorString:
        case effGetProductString:
            FUZZ_CHECK(std::memchr(out.data(), '\0', out.size()) != nullptr);
            break;
        case effGetChunk:
            if (result > 0) {
                const auto* bytes = static_cast<const std::uint8_t*>(args.pointerSlot[0]);
                host.saved[index == 0 ? 0 : 1].assign(bytes, bytes + result);
            }
            break;
        case effGetSpeakerArrangement:
            for (void* arrangement : args.pointerSlot) {
                FUZZ_CHECK(static_cast<VstSpeakerArrangement*>(arrangement)->numChannels == 2);
            }
            break;
        case effSetBlockSize:
            if (value >= 1) host.blockSize = static_cast<int>(value);
            break;
        default: break;
    }
}

void SetAndReadParameter(FuzzEffect& fx, FuzzedDataProvider& in) {
    const int32 index = in.ConsumeIntegralInRange<int32>(-2, ORV_Q12::kParamCount);
    const float value = AnyFloat(in);
    const float before = fx.GetParameter(index);
    FuzzTrace("setParameter(%d, %.9g)", index, static_cast<double>(value));
    fx.SetParameter(index, value);
    const float read = fx.GetParameter(index);
    if (index < 0 || index >= ORV_Q12::kParamCount || !std::isfinite(value)) {
        FUZZ_CHECK(read == before);
        return;
    }
    // The host reads back what it set, within the range and the steps of the parameter.
    const float clamped = value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
    if (index >= ORV_Q12::kStereo) {
        FUZZ_CHECK(read == (value >= 0.5f ? 1.0f : 0.0f));
    } else {
        FUZZ_CHECK(std::fabs(read - clamped) <= 1e-6f);
    }
}

void Play(FuzzEffect& fx, FuzzedDataProvider& in, HostState& host) {
    const int frames = std::min(in.ConsumeIntegralInRange(-1, 2 * host.blockSize), host.framesLeft);
    host.framesLeft -= std::max(frames, 0);
    const AudioPath path = static_cast<AudioPath>(in.ConsumeIntegralInRange(0, 2));
    const bool inPlace = in.ConsumeBool();
    FuzzTrace("process %d frames, path %d%s", frames, static_cast<int>(path),
              inPlace ? ", in place" : "");
    if (frames < 0) {
        // A host that passes a negative count gets nothing done, and nothing written.
        fx.CheckProcess(StereoBlock(0), path, inPlace);
        return;
    }
    fx.CheckProcess(MakeBlock(in, frames), path, inPlace);
}

void SaveOrRestoreChunk(FuzzEffect& fx, FuzzedDataProvider& in, HostState& host) {
    const int kind = in.ConsumeIntegralInRange(0, 1);
    if (in.ConsumeBool() || host.saved[kind].empty()) {
        void* data = nullptr;
        FuzzTrace("save chunk %d", kind);
        const intptr size = fx.Dispatch(effGetChunk, kind == 0 ? 0 : 1, 0, &data);
        FUZZ_CHECK(size > 0);
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        host.saved[kind].assign(bytes, bytes + size);
        return;
    }
    // A chunk saved earlier, restored now: it must load whatever happened in between.
    std::vector<std::uint8_t> chunk = host.saved[kind];
    FuzzTrace("restore chunk %d", kind);
    FUZZ_CHECK(fx.Dispatch(effSetChunk, kind == 0 ? 0 : 1, static_cast<intptr>(chunk.size()),
                           chunk.data()) == 1);
}

// The steps of a host's life, weighted: the engines settling anew (a new rate, a new instance)
// costs as much as hundreds of other steps, so those come rarely.
enum class Step {
    Dispatcher,
    Parameter,
    Play,
    Rate,
    BlockSize,
    Mains,
    Program,
    Chunk,
    NewInstance
};

Step ChooseStep(FuzzedDataProvider& in) {
    struct Weighted {
        Step step;
        int weight;
    };
    static constexpr Weighted kSteps[] = {
        {Step::Dispatcher, 6}, {Step::Parameter, 6}, {Step::Play, 14},
        {Step::Rate, 1},       {Step::BlockSize, 3}, {Step::Mains, 2},
        {Step::Program, 2},    {Step::Chunk, 4},     {Step::NewInstance, 1},
    };
    int roll = in.ConsumeIntegralInRange(0, 38);
    for (const Weighted& choice : kSteps) {
        if (roll < choice.weight) return choice.step;
        roll -= choice.weight;
    }
    return Step::Play;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzEffect fx;
    fx.Reset();
    FuzzedDataProvider in(data, size);
    HostState host;
    while (in.remaining_bytes() > 0) {
        switch (ChooseStep(in)) {
            case Step::Dispatcher: DispatcherCall(fx, in, host); break;
            case Step::Parameter: SetAndReadParameter(fx, in); break;
            case Step::Play: Play(fx, in, host); break;
            case Step::Rate: {
                if (host.rateChangesLeft-- <= 0) break;
                const float rate = ChooseRate(in);
                FuzzTrace("rate %.9g", static_cast<double>(rate));
                fx.Dispatch(effSetSampleRate, 0, 0, nullptr, rate);
                break;
            }
            case Step::BlockSize: {
                const int frames = ChooseBlockSize(in);
                FuzzTrace("block size %d", frames);
                fx.Dispatch(effSetBlockSize, 0, frames);
                if (frames >= 1) host.blockSize = frames;
                break;
            }
            case Step::Mains: {
                const int on = in.ConsumeIntegralInRange(-1, 2);
                FuzzTrace("mains %d", on);
                fx.Dispatch(effMainsChanged, 0, on);
                break;
            }
            case Step::Program: {
                const int program = in.ConsumeIntegralInRange(-2, 3);
                FuzzTrace("program %d", program);
                fx.Dispatch(effSetProgram, 0, program);
                break;
            }
            case Step::Chunk: SaveOrRestoreChunk(fx, in, host); break;
            case Step::NewInstance:
                // A new instance costs as much as many inputs: once per input.
                if (!host.recreated) {
                    host.recreated = true;
                    host.blockSize = 1024;
                    host.saved[0].clear();
                    host.saved[1].clear();
                    const bool open = in.ConsumeBool();
                    FuzzTrace("new instance%s", open ? ", opened" : "");
                    fx.Recreate(open);
                }
                break;
        }
        fx.CheckParameters();
    }
    fx.CheckChunkRoundTrip();
    StereoBlock tone(64);
    for (int s = 0; s < 64; ++s) tone.left[s] = tone.right[s] = 0.5 * std::sin(0.1 * s);
    fx.CheckProcess(tone, AudioPath::Double, false);
    return 0;
}
