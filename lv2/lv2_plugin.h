// Presents a PluginBase to an LV2 host: the ports its description declares (ORV_Q12.ttl: the
// left and right audio inputs, the left and right outputs, then a control input per parameter
// in index order), read at every run, and the panel, which the plug-in's UI (lv2_ui.h) shows in
// the host's window by reaching this object through instance-access.
// Lifecycle: made by the descriptor's instantiate (lv2_entry.h), deleted by its cleanup; a UI
// opens and closes within that life.
// Threads: run, activate and deactivate come from the host's audio thread, the UI's calls from
// its user-interface thread; each holds the plug-in lock throughout, so the two threads meet
// only inside it. The UI's idle runs the editor's window work without the lock, as a window's
// own timer would (the editor takes the lock wherever it edits a parameter).
#pragma once

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include <cstdint>

#include "lv2/control_ports.h"
#include "plugin/plugin_base.h"

// What the descriptor's instantiate hands the effect's constructor.
struct Lv2Host {
    double sampleRate = 44100;
    // The longest block the host will run (its bufsz:maxBlockLength option), 0 when it did not
    // say.
    int maxBlockLength = 0;
};

class Lv2Plugin : public PluginBase {
public:
    // Left and right input, left and right output; the control ports follow.
    static constexpr std::uint32_t kAudioPorts = 4;
    // The scratch buffers' length when the host names no longest block, and the most they get.
    static constexpr int kDefaultBlock = 4096;
    static constexpr int kMaxBlock = 8192;

    Lv2Plugin(const Lv2Host& host, const PluginConstants& constants);
    ~Lv2Plugin() override;

    // The host's rate, taken once the effect has taken its parameters: the object then lives
    // what it lives under a VST 2 host (made at the framework's rate, opened, given the host's),
    // so that the same settings give the same bits in every format.
    void TakeHostRate();

    // LV2_Descriptor's calls.
    void ConnectPort(std::uint32_t port, void* data);
    void Activate();
    void Deactivate();
    void Run(std::uint32_t frames);

    // The UI's calls. What the UI talks to the host through.
    struct UiLink {
        LV2UI_Write_Function write = nullptr;
        LV2UI_Controller controller = nullptr;
        const LV2UI_Touch* touch = nullptr;    // null when the host has no ui:touch
        const LV2UI_Resize* resize = nullptr;  // null when the host has no ui:resize
        float scaleFactor = 0.0f;              // the host's ui:scaleFactor, 0 when it gave none
    };
    // Opens the panel as a child of the host's window; its window, or null when there is no
    // panel to show or one is showing already (the object has one editor).
    void* OpenUi(void* parent, const UiLink& link);
    void CloseUi();
    void IdleUi();
    // The panel's size in pixels, which the UI tells the host; false without a panel.
    bool EditorSize(int* width, int* height) const;
    // The host says a port holds value now: the panel shows it, unless it is a late value of the
    // panel's own.
    void PortEvent(std::uint32_t port, float value);

    // Host-facing operations of the plug-in object: the panel's edits go to the host as the UI's
    // port writes, its gestures as ui:touch grabs.
    void BeginParamEdit(int index) override;
    void AutomateParam(int index, double normalized) override;
    void EndParamEdit(int index) override;
    void ReportPresetChange() override {}
    // LV2 hosts tell the time only through an atom port, which this plug-in does not have.
    std::int32_t GetSamplePosition() override { return 0; }
    double GetTempo() override { return TransportInfo().tempo; }
    void GetTimeSignature(std::int32_t* numerator, std::int32_t* denominator) override;
    void GetTransportInfo(TransportInfo& /*info*/) override {}
    void ResizeEditor(int /*width*/, int /*height*/) override {}
    bool RequestEditorSize(int width, int height) override;
    bool SendMidiMessage(const MidiMessage& /*message*/) override { return false; }

private:
    // The port of parameter index, and the parameter of a port (-1 for an audio port).
    static std::uint32_t PortOf(int index) {
        return kAudioPorts + static_cast<std::uint32_t>(index);
    }
    int ParamOfPort(std::uint32_t port) const;
    // The attached editor when it can open a window in the host's, else null.
    Editor* WindowEditor() const;

    double hostRate_;
    float* audio_[kAudioPorts] = {};
    ControlPorts controls_;
    UiLink ui_;
    bool uiOpen_ = false;
};
