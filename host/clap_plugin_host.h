// The CLAP format of the plug-in host (plugin_host.h): a .clap file's entry initialised once per
// module, its factory's first plug-in made once per instance, each instance with a clap_host of
// its own that offers what hosts commonly offer (params with request_flush, state, gui,
// timer-support, posix-fd-support, thread-check, log, latency, tail, audio-ports).
// Parameters travel as CLAP has them: plain values, mapped from the normalised ones of the neutral
// interface as x * (max - min) + min (stepped ones to their nearest integer); a change goes with
// the next process as a PARAM_VALUE event at its time (0, or SetParamAt's offset), or with a
// flush while nothing is processing, and before the host reads the plug-in's values or state.
// The plug-in's events out are recorded as begin, perform (normalised) and end edits. IdleEditor
// is the host's main loop: the main-thread callback, the registered descriptors and timers, and
// the flush the plug-in asked for.
// Lifecycle and threads: as plugin_host.h says; the module outlives its instances, and an
// instance's calls come from the thread that made it (its main thread, and its audio thread in
// turns).
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "clap/clap_abi.h"
#include "host/plugin_host.h"
#include "host/shared_library.h"

namespace host {

class ClapInstance : public PluginInstance {
public:
    // A new plug-in of the factory's for a host named hostName, created and init'ed; null when
    // the factory makes none or its init fails.
    static std::unique_ptr<ClapInstance> Create(const clap::clap_plugin_factory& factory,
                                                const char* pluginId, const std::string& hostName);
    ~ClapInstance() override;

    // Beyond the neutral calls, for the suites that go further on CLAP.
    const clap::clap_plugin* Plugin() const { return plugin_; }
    // The plug-in's extension of that id, or null.
    const void* Extension(const char* id) const;
    // A PARAM_VALUE of any plain value (none that a careful host sends, too) with the next block.
    void SendPlain(int index, double plain, int offset = 0);
    // The number of timers and descriptors the plug-in has registered now.
    int RegisteredTimers() const { return static_cast<int>(timers_.size()); }
    int RegisteredDescriptors() const { return static_cast<int>(fds_.size()); }

    std::string Name() override;
    std::string Vendor() override;
    std::string Version() override;
    bool Start(double sampleRate, int maxBlock) override;
    void Stop() override;
    bool SetChannels(int channels) override;
    int ParamCount() override;
    std::string ParamName(int index) override;
    // CLAP has no unit label: the name is what a host shows beside the value.
    std::string ParamLabel(int index) override;
    std::string ParamDisplay(int index) override;
    bool ParamDisplayOf(int index, double normalized, std::string* text) override;
    double GetParam(int index) override;
    // A value that is not finite has no plain value: nothing is sent.
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
    std::vector<HostEvent> HostEvents() override;
    void ClearHostEvents() override;
    void CloseAbruptly() override;

private:
    struct Timer {
        clap::clap_id id;
        std::chrono::milliseconds period;
        std::chrono::steady_clock::time_point due;
    };
    struct Fd {
        int fd;
        std::uint32_t flags;
    };
    friend struct ClapHostCalls;

    explicit ClapInstance(const std::string& hostName);
    bool Alive() const { return plugin_ != nullptr; }
    bool ValidParam(int index) const {
        return index >= 0 && index < static_cast<int>(infos_.size());
    }
    double Plain(int index, double normalized) const;
    double Normalized(int index, double plain) const;
    double PlainValue(int index);
    // A PARAM_VALUE for the next block, or flushed now while nothing is processing.
    void Send(int index, double plain, int offset);
    // The changes not yet sent go with a flush, with the plug-in's events out recorded.
    void Deliver();
    void Flush();
    template <typename Sample>
    void ProcessBlocks(Sample* const* inputs, Sample* const* outputs, int frames);
    template <typename Sample>
    void ProcessOne(Sample* const* inputs, Sample* const* outputs, int frames);
    // What the plug-in pushed, as the host's record of edits; false when the record is full.
    bool Record(const clap::clap_event_header& event);
    bool CreateGui(const char** api);
    // Timers and descriptors the plug-in left registered are forgotten with it.
    void Forget();

    std::string hostName_;
    clap::clap_host host_{};
    const clap::clap_plugin* plugin_ = nullptr;
    const clap::clap_plugin_params* params_ = nullptr;
    const clap::clap_plugin_state* state_ = nullptr;
    const clap::clap_plugin_gui* gui_ = nullptr;
    const clap::clap_plugin_timer_support* timerExt_ = nullptr;
    const clap::clap_plugin_posix_fd_support* fdExt_ = nullptr;
    std::vector<clap::clap_param_info> infos_;

    bool active_ = false;
    bool processing_ = false;
    int maxBlock_ = 0;
    std::int64_t steadyTime_ = 0;
    bool editorOpen_ = false;
    double editorScale_ = 0.0;  // 0 until the test announces one
    // Reserved at creation: sending, processing and recording allocate nothing.
    std::vector<clap::clap_event_param_value> pending_;
    mutable std::mutex recordMutex_;
    std::vector<HostEvent> record_;

    std::thread::id mainThread_;
    std::atomic<bool> inAudioCall_{false};
    std::atomic<bool> flushRequested_{false};
    std::atomic<bool> callbackRequested_{false};
    std::vector<Timer> timers_;
    std::vector<Fd> fds_;
    clap::clap_id nextTimerId_ = 1;
};

class ClapModule : public PluginModule {
public:
    // The .clap file at path, through its export clap_entry.
    static std::unique_ptr<PluginModule> Load(const std::string& path, std::string* error);
    // An entry linked into this program, as the fuzz targets link the effect.
    static std::unique_ptr<PluginModule> FromEntry(const clap::clap_plugin_entry* entry,
                                                   std::string* error);
    ~ClapModule() override;

    const char* FormatName() const override { return "CLAP"; }
    DamagedState TakesDamagedState() const override { return DamagedState::kRefused; }
    std::unique_ptr<PluginInstance> CreateInstance() override;

    const clap::clap_plugin_entry& Entry() const { return *entry_; }
    const clap::clap_plugin_factory& Factory() const { return *factory_; }
    const clap::clap_plugin_descriptor& Descriptor() const { return *descriptor_; }

private:
    ClapModule() = default;
    // init, the factory and its first plug-in; false, with the reason, when any is missing.
    bool Open(const clap::clap_plugin_entry* entry, const std::string& path, std::string* error);

    std::unique_ptr<SharedLibrary> library_;
    const clap::clap_plugin_entry* entry_ = nullptr;
    bool initialised_ = false;
    const clap::clap_plugin_factory* factory_ = nullptr;
    const clap::clap_plugin_descriptor* descriptor_ = nullptr;
};

}  // namespace host
