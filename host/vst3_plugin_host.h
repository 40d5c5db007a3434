// The VST 3 format of the plug-in host (plugin_host.h): a bundle's binary loaded with its entry
// function, its factory given this host's context (which offers the Linux run loop), and each
// instance created and initialised as hosts do: the component asked for its controller (one
// object here), the component handler set, the controller told the component's state. A
// parameter set between blocks goes to the controller (setParamNormalized) and as a point at
// offset 0 into the next block's queues; one set at an offset only into the queues. Each block
// says its precision in its process data. States are the component's, read back in small pieces;
// a load goes to the component, then to the controller. IdleEditor pumps the run loop as a host's
// UI loop does: the registered descriptors that are readable, the timers that are due.
// Lifecycle and threads: as plugin_host.h says; the module must outlive its instances.
#pragma once

#include <memory>
#include <string>

#include "host/plugin_host.h"
#include "host/shared_library.h"
#include "host/vst3_host_objects.h"
#include "vst3/vst3_abi.h"

namespace host {

class Vst3Module;

class Vst3Instance : public PluginInstance {
public:
    Vst3Instance(Vst3Module& module, vst3::IComponent* component);
    ~Vst3Instance() override;

    // The controller, the handler set and the controller synchronised; false when the plug-in has
    // no controller in the component's object or refuses.
    bool Connect();

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
    bool SetEditorScale(double factor) override;
    std::vector<HostEvent> HostEvents() override { return record_.Events(); }
    void ClearHostEvents() override { record_.Clear(); }
    void CloseAbruptly() override;

private:
    bool Alive() const { return component_ != nullptr; }
    // One block through the processor: the buffers as its one bus each way, the queued points.
    void ProcessBlock(vst3::int32 sampleSize, void* const* inputs, void* const* outputs,
                      int frames);
    void Release();

    Vst3Module& module_;
    HostRecord record_;
    Vst3ComponentHandler handler_{record_};
    Vst3PlugFrame frame_;
    Vst3ParamChanges changes_;
    Vst3ParamChanges outputChanges_;
    vst3::ProcessContext context_{};
    vst3::IComponent* component_;
    vst3::IAudioProcessor* processor_ = nullptr;
    vst3::IEditController* controller_ = nullptr;
    vst3::IPlugView* view_ = nullptr;
    double editorScale_ = 0.0;  // 0 until the test announces one
    int channels_ = 2;
    bool started_ = false;
};

class Vst3Module : public PluginModule {
public:
    using FactoryEntry = vst3::IPluginFactory* (*)();

    // The bundle folder at path (or a single .vst3 file), through its GetPluginFactory.
    static std::unique_ptr<PluginModule> Load(const std::string& path, std::string* error);
    // A factory linked into this program, as the fuzz targets link the effect.
    explicit Vst3Module(FactoryEntry entry);
    ~Vst3Module() override;

    const char* FormatName() const override { return "VST 3"; }
    DamagedState TakesDamagedState() const override { return DamagedState::kRefused; }
    std::unique_ptr<PluginInstance> CreateInstance() override;

    // The first audio effect class the factory lists, as the factory describes it.
    const std::string& ClassName() const { return name_; }
    const std::string& ClassVendor() const { return vendor_; }
    const std::string& ClassVersion() const { return version_; }
    Vst3RunLoop& RunLoop() { return runLoop_; }

private:
    Vst3Module(std::unique_ptr<SharedLibrary> library, bool entered);
    // The factory and its effect class; false, with the reason in error, when there is none.
    bool Open(FactoryEntry entry, std::string* error);

    std::unique_ptr<SharedLibrary> library_;
    bool entered_ = false;
    Vst3RunLoop runLoop_;
    Vst3HostApplication application_{*this, runLoop_};
    vst3::IPluginFactory* factory_ = nullptr;
    char classId_[16] = {};
    std::string name_, vendor_, version_;
};

}  // namespace host
