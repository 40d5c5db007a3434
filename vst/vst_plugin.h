// Presents a PluginBase to a VST 2.x host: the AEffect record, the dispatcher, the audio and
// parameter callbacks, host identification and the calls made back to the host.
// Lifecycle: created by the module's entry point (as the base of the effect), deleted by the
// dispatcher on effClose. Threads: the host calls the dispatcher from its UI thread and the
// audio callbacks from its audio thread; every entry point holds the plug-in lock throughout,
// except effEditIdle, which runs the editor's window work as a window thread would.
#pragma once

#include "plugin/plugin_base.h"
#include "plugin/state_chunk.h"
#include "vst/vst2_abi.h"

class VstPlugin : public PluginBase {
public:
    VstPlugin(vst2::audioMasterCallback host, const PluginConstants& constants);
    ~VstPlugin() override;

    vst2::AEffect* Effect() { return &effect; }
    // The attached editor when it can open a window in the host's, else null: only such an
    // editor is announced to the host and answers its editor requests.
    Editor* WindowEditor() const;
    static VstPlugin* FromEffect(vst2::AEffect* effect);

    // The host code of the first host-table entry found in the product text, 0 when none.
    static int IdentifyHost(const char* productText);

    // Dispatcher (vst_dispatcher.cpp) and audio and parameter callbacks (vst_audio.cpp).
    static vst2::intptr VSTDispatcher(vst2::AEffect* effect, vst2::int32 opcode, vst2::int32 index,
                                      vst2::intptr value, void* ptr, float opt);
    static void Process(vst2::AEffect* effect, float** inputs, float** outputs,
                        vst2::int32 sampleFrames);
    static void ProcessReplacing(vst2::AEffect* effect, float** inputs, float** outputs,
                                 vst2::int32 sampleFrames);
    static void ProcessDoubleReplacing(vst2::AEffect* effect, double** inputs, double** outputs,
                                       vst2::int32 sampleFrames);
    static float GetParameter(vst2::AEffect* effect, vst2::int32 index);
    static void SetParameter(vst2::AEffect* effect, vst2::int32 index, float value);

    // Host-facing operations of the plug-in object (vst_host_calls.cpp).
    void BeginParamEdit(int index) override;
    void AutomateParam(int index, double normalized) override;
    void EndParamEdit(int index) override;
    void ReportPresetChange() override;
    bool IsOfflineRender() override;
    std::int32_t GetSamplePosition() override;
    double GetTempo() override;
    void GetTimeSignature(std::int32_t* numerator, std::int32_t* denominator) override;
    void GetTransportInfo(TransportInfo& info) override;
    std::int32_t HostCode() override;
    void ResizeEditor(int width, int height) override;
    bool RequestEditorSize(int width, int height) override;
    void HostSpecificSetup() override;
    void AttachEditor(Editor* editor) override;
    void SetLatency(int samples) override;
    bool SendMidiMessage(const MidiMessage& message) override;
    bool SendSysExMessage(const SysExMessage& message) override;

    // Chunk exchange (vst_chunks.cpp): the host receives a pointer into programState or
    // bankState, valid until its next request of the same kind.
    vst2::intptr GetChunk(bool bank, void** data);
    bool SetChunk(bool bank, const void* data, vst2::intptr size);

protected:
    vst2::intptr HostCall(vst2::int32 opcode, vst2::int32 index = 0, vst2::intptr value = 0,
                          void* ptr = nullptr, float opt = 0.0f);

    vst2::ERect editorRect{};
    vst2::audioMasterCallback hostCallback;
    vst2::VstSpeakerArrangement inputArrangement{};
    vst2::VstSpeakerArrangement outputArrangement{};
    bool setupFinished = false;
    StateChunk programState;
    StateChunk bankState;
    vst2::AEffect effect{};

private:
    friend class VstDispatch;

    // Runs host audio through the effect (ProcessHostAudio); accumulate adds the result to the
    // host's outputs instead of replacing them.
    void ProcessSingle(float** inputs, float** outputs, int frames, bool accumulate);
    void ProcessDouble(double** inputs, double** outputs, int frames);
};
