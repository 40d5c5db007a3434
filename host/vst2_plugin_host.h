// The VST 2 format of the plug-in host (plugin_host.h): a module's entry point called once per
// instance, each instance bound to a RecordingHost of its own and driven through HostedEffect.
// Beside the neutral calls, what only VST 2 has, for the suites that go further on it: the
// entry under its second name, queries before effOpen, the effect itself (the accumulating
// callback, banks, programs), an instance given up without being closed.
// Lifecycle and threads: as plugin_host.h says; the module must outlive its instances.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/plugin_host.h"
#include "host/vst_host.h"

namespace host {

class Vst2Instance : public PluginInstance {
public:
    // Takes over an effect made through RecordingHost::Instantiate with recorder; `opened` when
    // effOpen has been sent.
    Vst2Instance(vst2::AEffect* effect, std::unique_ptr<RecordingHost> recorder, bool opened);
    ~Vst2Instance() override;

    // The effect, for calls beyond the neutral ones, and the host it calls.
    const HostedEffect& Effect() const { return fx_; }
    RecordingHost& Recorder() { return *recorder_; }
    // effOpen, unless it was sent; Start sends it too.
    void Open();
    // Gives the effect up without closing it, as a scanner or a careless host may: it stays
    // alive, and its host with it, until the process ends. The instance does nothing afterwards.
    vst2::AEffect* GiveUp();

    std::string Name() override;
    std::string Vendor() override;
    std::string Version() override;
    bool Start(double sampleRate, int maxBlock) override;
    void Stop() override;
    bool SetChannels(int channels) override;
    int ParamCount() override;
    std::string ParamName(int index) override;
    std::string ParamLabel(int index) override;
    std::string ParamDisplay(int index) override;
    bool ParamDisplayOf(int index, double normalized, std::string* text) override;
    double GetParam(int index) override;
    void SetParam(int index, double normalized) override;
    bool SetParamAt(int index, double normalized, int offset) override;
    bool SetParamFromText(int index, const std::string& text) override;
    void Process(float* const* inputs, float* const* outputs, int frames) override;
    void Process(double* const* inputs, double* const* outputs, int frames) override;
    Bytes SaveState() override;
    bool LoadState(const Bytes& state) override;
    bool HasEditor() override;
    bool EditorSize(int* width, int* height) override;
    bool OpenEditor(void* parent) override;
    void IdleEditor() override;
    void CloseEditor() override;
    std::vector<HostEvent> HostEvents() override;
    void ClearHostEvents() override;
    void CloseAbruptly() override;

private:
    bool Alive() const { return fx_.Effect() != nullptr; }

    std::unique_ptr<RecordingHost> recorder_;
    HostedEffect fx_;
    bool opened_;
    bool started_ = false;
    bool editorOpen_ = false;
};

class Vst2Module : public PluginModule {
public:
    // The module file at path, through its export VSTPluginMain (or main).
    static std::unique_ptr<PluginModule> Load(const std::string& path, std::string* error);
    // An entry point linked into this program, as the fuzz targets link the effect.
    explicit Vst2Module(EntryPoint entry) : entry_(entry) {}

    const char* FormatName() const override { return "VST 2"; }
    DamagedState TakesDamagedState() const override { return DamagedState::kLoadsWhatItCovers; }
    std::unique_ptr<PluginInstance> CreateInstance() override;

    // An instance made through the export of that name (by default the one CreateInstance uses),
    // before effOpen; null when the module has no such export or it makes no effect.
    std::unique_ptr<Vst2Instance> CreateUnopened(const char* entryName = nullptr);

private:
    explicit Vst2Module(std::unique_ptr<VstModule> module);

    std::unique_ptr<VstModule> module_;
    EntryPoint entry_ = nullptr;
};

}  // namespace host
