// Presents a PluginBase to orv-q12, the program that hosts the effect itself: the program's JACK
// client hands it the server's rate, buffer size and audio, its own top-level window holds the
// editor, and its state file keeps the program state between runs. There is no host to tell of
// edits, so the host-facing slots do nothing: the state saved at exit holds what the panel set.
// Lifecycle: made by the program's factory (effect/orv_q12_standalone_entry.cpp) once, before
// the JACK client, and destroyed after that client is closed.
// Threads: Open, Prepare at start, the editor calls and the state on the main thread; Prepare
// again on JACK's notification thread when the server's rate or buffer size changes; Process on
// JACK's real-time thread. Each holds the plug-in lock throughout.
#pragma once

#include "editor/editor.h"
#include "plugin/plugin_base.h"

// What the program hands the effect's constructor: nothing, for the program hosts it alone.
struct StandaloneHost {};

class StandalonePlugin : public PluginBase {
public:
    // No host runs below 8 kHz; far below that (a subnormal rate, say) the coefficients overflow.
    static constexpr double kMinSampleRate = 1000;
    static constexpr double kMaxSampleRate = 1536000;

    StandalonePlugin(StandaloneHost host, const PluginConstants& constants);
    ~StandalonePlugin() override;

    // What a host does once it has made the effect: every parameter reported to it.
    void Open();
    // Processing at the rate for periods of up to maxFrames, as a host's deactivate, set-up and
    // activate prepare it: nothing when neither moved. False, nothing changed, for a rate
    // outside kMinSampleRate .. kMaxSampleRate or a size the buffers cannot take.
    bool Prepare(double rate, int maxFrames);
    // One period of the server's buffers: two inputs and two outputs.
    void Process(float* const* inputs, float* const* outputs, int frames);

    // The editor in the program's window: the one place that answers the window's size.
    bool EditorSize(int* width, int* height) const;
    bool OpenEditor(WindowHandle parent);
    void CloseEditor();
    // The editor's X events and redraw tick, without the lock (the editor takes it to edit).
    void IdleEditor();
    // Readable when the editor has events for IdleEditor; -1 while no window is open.
    int EditorEventDescriptor() const;

    void BeginParamEdit(int /*index*/) override {}
    void AutomateParam(int /*index*/, double /*normalized*/) override {}
    void EndParamEdit(int /*index*/) override {}
    void ReportPresetChange() override {}
    std::int32_t GetSamplePosition() override { return 0; }
    double GetTempo() override { return 120; }
    void GetTimeSignature(std::int32_t* numerator, std::int32_t* denominator) override;
    void GetTransportInfo(TransportInfo& info) override { info = TransportInfo{}; }
    void ResizeEditor(int /*width*/, int /*height*/) override {}
    bool SendMidiMessage(const MidiMessage& /*message*/) override { return false; }

private:
    bool prepared_ = false;
};
