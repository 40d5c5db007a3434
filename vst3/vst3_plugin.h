// Presents a PluginBase to a VST 3 host as one object that is the component, the audio
// processor and the edit controller at once (so processor and controller never run apart), plus
// IProcessContextRequirements. It only translates: buses and setup in, the host's parameter
// queues split the block at their offsets, states are the program-state bytes every format
// stores, and the editor's edits go out as beginEdit / performEdit / endEdit.
// Lifecycle: made by the module's factory (createInstance, one reference), initialize, then
// whatever the host calls; terminate closes an open view; the last release deletes it.
// Threads: process and setProcessing on the host's audio thread, everything else on its UI
// thread; process, parameter and state calls hold the plug-in lock, setProcessing takes none.
// Reference counts are atomic.
#pragma once

#include <atomic>

#include "adapter/param_changes.h"
#include "plugin/plugin_base.h"
#include "vst3/vst3_abi.h"

class Vst3View;

class Vst3Plugin : public PluginBase,
                   public vst3::IComponent,
                   public vst3::IAudioProcessor,
                   public vst3::IEditController,
                   public vst3::IProcessContextRequirements {
public:
    // factoryContext: what the host gave the factory with setHostContext (may be null); kept
    // for the editor's run loop when neither the view's frame nor initialize offers one.
    Vst3Plugin(vst3::FUnknown* factoryContext, const PluginConstants& constants);
    ~Vst3Plugin() override;

    // FUnknown, shared by every interface of the object.
    vst3::tresult queryInterface(const char* iid, void** obj) override;
    vst3::uint32 addRef() override;
    vst3::uint32 release() override;

    // IPluginBase.
    vst3::tresult initialize(vst3::FUnknown* context) override;
    vst3::tresult terminate() override;

    // IComponent (vst3_plugin.cpp).
    vst3::tresult getControllerClassId(char classId[16]) override;
    vst3::tresult setIoMode(vst3::IoMode mode) override;
    vst3::int32 getBusCount(vst3::MediaType type, vst3::BusDirection dir) override;
    vst3::tresult getBusInfo(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 index,
                             vst3::BusInfo& bus) override;
    vst3::tresult getRoutingInfo(vst3::RoutingInfo& inInfo, vst3::RoutingInfo& outInfo) override;
    vst3::tresult activateBus(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 index,
                              vst3::TBool state) override;
    vst3::tresult setActive(vst3::TBool state) override;
    vst3::tresult setState(vst3::IBStream* state) override;
    vst3::tresult getState(vst3::IBStream* state) override;

    // IAudioProcessor (vst3_processor.cpp).
    vst3::tresult setBusArrangements(vst3::SpeakerArrangement* inputs, vst3::int32 numIns,
                                     vst3::SpeakerArrangement* outputs,
                                     vst3::int32 numOuts) override;
    vst3::tresult getBusArrangement(vst3::BusDirection dir, vst3::int32 index,
                                    vst3::SpeakerArrangement& arr) override;
    vst3::tresult canProcessSampleSize(vst3::int32 symbolicSampleSize) override;
    vst3::uint32 getLatencySamples() override;
    vst3::tresult setupProcessing(vst3::ProcessSetup& setup) override;
    vst3::tresult setProcessing(vst3::TBool state) override;
    vst3::tresult process(vst3::ProcessData& data) override;
    vst3::uint32 getTailSamples() override;

    // IProcessContextRequirements: the effect needs nothing of the host's transport.
    vst3::uint32 getProcessContextRequirements() override { return 0; }

    // IEditController (vst3_controller.cpp).
    vst3::tresult setComponentState(vst3::IBStream* state) override;
    vst3::int32 getParameterCount() override;
    vst3::tresult getParameterInfo(vst3::int32 paramIndex, vst3::ParameterInfo& info) override;
    vst3::tresult getParamStringByValue(vst3::ParamID id, vst3::ParamValue valueNormalized,
                                        vst3::String128 string) override;
    vst3::tresult getParamValueByString(vst3::ParamID id, vst3::TChar* string,
                                        vst3::ParamValue& valueNormalized) override;
    vst3::ParamValue normalizedParamToPlain(vst3::ParamID id,
                                            vst3::ParamValue valueNormalized) override;
    vst3::ParamValue plainParamToNormalized(vst3::ParamID id, vst3::ParamValue plainValue) override;
    vst3::ParamValue getParamNormalized(vst3::ParamID id) override;
    vst3::tresult setParamNormalized(vst3::ParamID id, vst3::ParamValue value) override;
    vst3::tresult setComponentHandler(vst3::IComponentHandler* handler) override;
    vst3::IPlugView* createView(vst3::FIDString name) override;

    // Host-facing operations of the plug-in object (vst3_controller.cpp).
    void BeginParamEdit(int index) override;
    void AutomateParam(int index, double normalized) override;
    void EndParamEdit(int index) override;
    void ReportPresetChange() override;
    std::int32_t GetSamplePosition() override { return 0; }
    double GetTempo() override { return TransportInfo{}.tempo; }
    void GetTimeSignature(std::int32_t* numerator, std::int32_t* denominator) override;
    void GetTransportInfo(TransportInfo&) override {}
    void ResizeEditor(int width, int height) override;
    bool RequestEditorSize(int width, int height) override;
    bool SendMidiMessage(const MidiMessage&) override { return false; }

    // For the view (vst3_view.cpp): the editor when it can open a window, the run loop the
    // host offers beside the view's frame, and which view holds the editor's window.
    Editor* WindowEditor() const;
    vst3::FUnknown* HostContext() const;
    bool ClaimEditor(Vst3View* view);
    void ReleaseEditor(Vst3View* view);

private:
    // State streams: the program-state bytes read whole and loaded strictly, or written whole.
    vst3::tresult LoadStateStream(vst3::IBStream* stream);
    vst3::tresult SaveStateStream(vst3::IBStream* stream);
    // The host's parameter queues into changes_; ids that are no parameter are left out.
    void CollectChanges(vst3::IParameterChanges* queues);
    // The block through the effect in the data's precision, its silent outputs flagged.
    template <typename Sample>
    void ProcessBuses(vst3::ProcessData& data);

    std::atomic<vst3::uint32> references_{1};
    std::atomic<bool> active_{false};
    bool initialized_ = false;
    vst3::FUnknown* factoryContext_ = nullptr;
    vst3::FUnknown* hostContext_ = nullptr;
    vst3::IComponentHandler* componentHandler_ = nullptr;
    Vst3View* editorView_ = nullptr;
    // 2 for stereo in and out, 1 for mono.
    int channels_ = 2;
    ParamChanges changes_;
};
