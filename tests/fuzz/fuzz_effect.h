// FuzzEffect: one ORV Q12 instance for the fuzz targets, made as the module's entry point makes
// one but with the offscreen editor and opened, plus the invariants the targets check after
// their calls. A new instance costs as much as hundreds of short inputs (its engines settle
// first), so a target keeps one and starts every input from Reset(), which brings back exactly
// the state of a new one: whatever an input finds then depends on that input alone.
// Single-threaded, like libFuzzer.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <vector>

#include "editor_headless/headless_editor.h"
#include "effect/orv_q12.h"
#include "vst/vst2_abi.h"

// The three audio callbacks of an AEffect.
enum class AudioPath { Replacing, Accumulating, Double };

// An input block of two channels; the caller fills it.
struct StereoBlock {
    explicit StereoBlock(int frames)
        : left(static_cast<size_t>(frames)), right(static_cast<size_t>(frames)) {}
    std::vector<double> left;
    std::vector<double> right;
};

class FuzzEffect {
public:
    FuzzEffect();
    ~FuzzEffect();
    FuzzEffect(const FuzzEffect&) = delete;
    FuzzEffect& operator=(const FuzzEffect&) = delete;

    ORV_Q12& Fx() const { return *fx_; }
    HeadlessEditor& Editor() const { return *editor_; }
    vst2::AEffect* Effect() const { return effect_; }

    // The dispatcher, as a host calls it. The speaker arrangement a host sets is remembered, so
    // the audio checks know which of the host's buffers the effect reads and writes.
    vst2::intptr Dispatch(vst2::int32 opcode, vst2::int32 index = 0, vst2::intptr value = 0,
                          void* ptr = nullptr, float opt = 0.0f);
    void SetParameter(vst2::int32 index, float value) const;
    float GetParameter(vst2::int32 index) const;

    // effClose, then a new instance from the entry point, its rate set; opened (effOpen) unless
    // a scanner's queries come first.
    void Recreate(bool open = true);
    // The state of a new instance, as its host sees it (default parameters and preset, 8 kHz,
    // blocks of 1024 frames, every channel connected) and
    // inside (the filter states, proved by a short tone sounding bit for bit as in a new one).
    // Makes a new instance when the old one cannot be brought back.
    void Reset();
    // As Reset, but only what the host sees: for targets that play no audio, where the cost
    // of settling the engines anew after a change of Quality would be wasted.
    void ResetParameters();
    // Lets go of every mouse button and cancels an open entry box, as a user at rest.
    void EndGestures();

    // Every parameter as the host reads it (getParameter, its display text) lies in its range,
    // and indices outside the list read as 0.
    void CheckParameters() const;
    // A program and a bank chunk saved, restored and saved again give the same bytes and leave
    // every parameter as it was.
    void CheckChunkRoundTrip();
    // Runs the block through one audio callback (in place: the host's input buffers are its
    // output buffers) and checks what the host gets back: finite for finite input, within the
    // circuit's reach while the effect is engaged, the input itself while it is bypassed.
    void CheckProcess(const StereoBlock& block, AudioPath path, bool inPlace);
    // No parameter is left in an edit the host was told of (audioMasterBeginEdit without its
    // audioMasterEndEdit); checked once every gesture has ended.
    void CheckNoEditOpen() const;

    // The host callback; answers the version and little else, and checks what the plug-in
    // reports: automated values are normalised, edits name parameters that exist.
    static vst2::intptr HostCallback(vst2::AEffect* effect, vst2::int32 opcode, vst2::int32 index,
                                     vst2::intptr value, void* ptr, float opt);

private:
    // What the accumulating path added the effect's output to.
    enum class AccumulatedOnto { Nothing, Silence, Input };

    void Create(bool open);
    bool TryReset();
    // The block through processDoubleReplacing; both output channels, one after the other.
    std::vector<double> Play(const StereoBlock& block);
    template <typename Sample>
    void CheckOutputs(const StereoBlock& block, const std::vector<Sample>* outputs, int frames,
                      bool engaged, AccumulatedOnto onto) const;

    vst2::AEffect* effect_ = nullptr;
    ORV_Q12* fx_ = nullptr;
    HeadlessEditor* editor_ = nullptr;
    std::vector<std::uint8_t> defaultBank_;
    std::vector<double> probeReference_;
    int connectedInputs_ = 2;
    int connectedOutputs_ = 2;
    bool editOpen_[ORV_Q12::kParamCount] = {};
};

// A float as a host may send one: in 0..1 half the time, else any bit pattern (NaN, infinities
// and subnormals included).
float AnyFloat(FuzzedDataProvider& in);

// With ORV_FUZZ_TRACE set in the environment, prints each step of an input as it runs, to
// turn a crashing input into a test.
void FuzzTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));

// An input block of `frames` frames as the fuzzer chooses it: silence, a tone, a constant (any
// double, NaN and infinities included), noise of any amplitude, or samples taken from the input
// bytes themselves.
StereoBlock MakeBlock(FuzzedDataProvider& in, int frames);
