// The host-independent plug-in object: identity, channel configuration, sample rate and block
// size, parameters, presets, the per-channel scratch buffers and the editor pointer.
// Lifecycle: the host adapter (VstPlugin) derives from it and the effect from the adapter; one
// object per effect instance, created by the module's entry point and deleted on effClose.
// Threads: host calls arrive from the UI and audio threads; everything that touches parameters,
// presets, channels or the editor pointer holds the one re-entrant plug-in lock (Lock()).
#pragma once

#include <cstddef>
#include <cstdint>

#include "plugin/plugin_lock.h"
#include "plugin/plugin_param.h"
#include "plugin/plugin_types.h"
#include "plugin/pointer_list.h"

class Editor;

class PluginBase {
public:
    // Allocates nothing that can throw; when memory runs short the object is left incomplete.
    explicit PluginBase(const PluginConstants& constants);
    virtual ~PluginBase();
    PluginBase(const PluginBase&) = delete;
    PluginBase& operator=(const PluginBase&) = delete;

    // Virtual operations in slot order. The effect overrides the first three only.
    virtual void ResetState();
    virtual void ParamChanged(int index);
    virtual void ProcessBlock(double** inputs, double** outputs, int frames);
    virtual void ProcessBlockSingle(float** inputs, float** outputs, int frames);
    virtual void OnEditorOpen() {}
    virtual void OnEditorClose() {}
    virtual void ActivationChanged(bool active);
    virtual void HandleMidiMessage(const MidiMessage& message);
    virtual void HandleSysEx(const SysExMessage& /*message*/) {}
    virtual bool GetMidiNoteName(int key, char* text, std::size_t capacity);
    virtual bool SaveState(StateChunk& chunk);
    virtual std::int32_t LoadState(const StateChunk& chunk, std::int32_t pos);
    virtual bool StateEquals(const double* values, int start) const;
    virtual void OnEditorResized() {}
    virtual void HostAdjusted() {}
    virtual void ShowHostParamMenu(int /*index*/, int /*x*/, int /*y*/) {}
    virtual void SetParameterFromEditor(int index, double normalized);
    virtual void BeginParamEdit(int index) = 0;
    virtual void AutomateParam(int index, double normalized) = 0;
    virtual void EndParamEdit(int index) = 0;
    virtual void ReportPresetChange() = 0;
    virtual bool IsOfflineRender() { return false; }
    virtual std::int32_t GetSamplePosition() = 0;
    virtual double GetTempo() = 0;
    virtual void GetTimeSignature(std::int32_t* numerator, std::int32_t* denominator) = 0;
    virtual void GetTransportInfo(TransportInfo& info) = 0;
    virtual std::int32_t HostCode() { return hostCode; }
    virtual std::int32_t PluginApiCode() { return pluginApiCode; }
    virtual void ResizeEditor(int width, int height) = 0;
    virtual void HostSpecificSetup() {}
    virtual void AttachEditor(Editor* editor);
    virtual void SetLatency(int samples) { latency = samples; }
    virtual bool SendMidiMessage(const MidiMessage& message) = 0;
    virtual bool SendSysExMessage(const SysExMessage& /*message*/) { return false; }
    virtual void PushParamsToEditor();
    virtual void PresetsChangedHook() {}
    // Resizes every channel's scratch buffer to frames doubles of silence. Returns false, with
    // the block size and buffers kept, for frames below 1 or a size that cannot be allocated.
    virtual bool SetBlockSize(int frames);
    // Beyond the slots above:
    // Asks the host to make the editor's window width x height pixels (the panel at a new
    // scale), through the format's own request; false when the host has none or refused.
    virtual bool RequestEditorSize(int /*width*/, int /*height*/) { return false; }

    // False when construction ran short of memory: such an object is only fit to be deleted.
    bool IsComplete() const { return complete; }

    // Parameters.
    int ParamCount() const { return parameters.Count(); }
    PluginParam* Param(int index) const { return parameters.Get(index); }
    bool IsValidParam(int index) const { return index >= 0 && index < ParamCount(); }
    void ReportAllParams();

    // Presets and state.
    int PresetCount() const { return presets.Count(); }
    Preset* PresetAt(int index) const { return presets.Get(index); }
    int CurrentPreset() const { return currentPreset; }
    bool SerializeParams(StateChunk& chunk);
    std::int32_t UnserializeParams(const StateChunk& chunk, std::int32_t pos);
    bool SerializePresets(StateChunk& chunk);
    std::int32_t UnserializePresets(const StateChunk& chunk, std::int32_t pos);
    // False when a preset it filled could not save the whole state.
    bool AddPreset(const char* name, int count);
    void ModifyCurrentPreset(const char* name = nullptr);
    bool SelectPreset(int index);
    const char* PresetName(int index) const;

    // Channels.
    bool LegalIO(int inputs, int outputs) const;
    int NInputs() const { return inputChannels.Count(); }
    int NOutputs() const { return outputChannels.Count(); }
    InputChannel* Input(int index) const { return inputChannels.Get(index); }
    OutputChannel* Output(int index) const { return outputChannels.Get(index); }
    double** InputSlots() { return reinterpret_cast<double**>(inputSlots.Data()); }
    double** OutputSlots() { return reinterpret_cast<double**>(outputSlots.Data()); }
    // Points a channel's slot at its scratch buffer and marks it disconnected.
    void DisconnectInput(int index);
    void DisconnectOutput(int index);
    // Connects the first count channels and disconnects the rest.
    void ConnectInputs(int count);
    void ConnectOutputs(int count);
    void RestrictInputsToStereo();

    PluginLock& Lock() { return lock; }
    Editor* AttachedEditor() const { return editor; }
    // Deletes the attached editor, under the lock. The most derived destructors call it first,
    // so the editor and its controls go while every part of the object they may reach is alive.
    void DeleteEditor();
    double SampleRate() const { return sampleRate; }
    int BlockSize() const { return blockSize; }
    int Latency() const { return latency; }
    std::int32_t HostVersion() const { return hostVersion; }

protected:
    void MarkIncomplete() { complete = false; }

    PointerList<ChannelIOConfig> channelConfigurations;
    PluginLock lock;
    char effectName[128];
    char productName[128];
    char vendorName[128];
    std::int32_t uniqueId;
    std::int32_t manufacturerCode;
    std::int32_t pluginVersion;
    std::int32_t pluginApiCode = 0;
    std::int32_t hostCode = -1;
    std::int32_t hostVersion = 0;
    bool usesStateChunks = false;
    bool isInstrument = false;
    bool receivesMidi = false;
    int currentPreset = 0;
    double sampleRate = 44100;
    int blockSize = 0;
    int latency = 0;
    Editor* editor = nullptr;
    PointerList<PluginParam> parameters;
    PointerList<Preset> presets;
    HeapBuffer inputSlots{4096};
    HeapBuffer outputSlots{4096};
    PointerList<InputChannel> inputChannels;
    PointerList<OutputChannel> outputChannels;

private:
    // False when a list or buffer could not be allocated.
    bool ParseChannelConfigurations(const char* text);
    // Disconnected channels read and write their scratch buffers, wherever those now live.
    void PointDisconnectedSlotsAtScratch();

    bool complete = true;
};
