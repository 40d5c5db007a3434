// Presents a PluginBase to a CLAP host: the clap_plugin record and its lifecycle, and the
// extensions the host asks for by id (audio-ports, params, state, gui with timer-support and
// posix-fd-support, latency, tail). Each extension's table lives in a file of its own and calls
// the operation of the same concern here.
// Lifecycle: made by the factory's create_plugin (as the base of the effect), init'ed, then
// activated and started any number of times, and deleted by the host's destroy.
// Threads: the host's main thread for everything but start_processing, stop_processing, reset and
// process (its audio thread) and flush (either, never during process). Every entry point holds
// the plug-in lock throughout, but the editor's idle calls, which run as a window thread does.
#pragma once

#include <cstdint>

#include "adapter/param_changes.h"
#include "clap/clap_abi.h"
#include "clap/clap_gesture_queue.h"
#include "plugin/plugin_base.h"

class ClapPlugin : public PluginBase {
public:
    ClapPlugin(const clap::clap_host* host, const PluginConstants& constants);
    ~ClapPlugin() override;

    const clap::clap_plugin* Plugin() const { return &plugin_; }
    // The object behind a host's clap_plugin pointer; null for null.
    static ClapPlugin* From(const clap::clap_plugin* plugin);

    // Lifecycle (clap_plugin.cpp).
    bool Init();
    bool Activate(double sampleRate, std::uint32_t minFrames, std::uint32_t maxFrames);
    void Deactivate();
    bool StartProcessing();
    void StopProcessing();
    const void* Extension(const char* id) const;
    void OnMainThread();

    // Audio and events (clap_process.cpp).
    clap::clap_process_status Process(const clap::clap_process& process);
    void Flush(const clap::clap_input_events* in, const clap::clap_output_events* out);

    // Parameters (clap_params.cpp).
    bool ParamInfo(std::uint32_t index, clap::clap_param_info* info);
    bool ParamValue(clap::clap_id id, double* value);
    bool ParamValueToText(clap::clap_id id, double value, char* text, std::uint32_t capacity);
    bool ParamTextToValue(clap::clap_id id, const char* text, double* value);

    // State (clap_state.cpp).
    bool WriteState(const clap::clap_ostream* stream);
    bool ReadState(const clap::clap_istream* stream);

    // The editor (clap_gui.cpp).
    bool GuiApiSupported(const char* api, bool floating) const;
    bool GuiCreate(const char* api, bool floating);
    void GuiDestroy();
    // The panel's size, the one answer to every size request.
    bool GuiSize(std::uint32_t* width, std::uint32_t* height) const;
    // The display's scale, for "win32" and "x11" alike; the window follows it unless the user
    // chose a scale of their own.
    bool GuiSetScale(double scale);
    bool RequestEditorSize(int width, int height) override;
    bool GuiSetSize(std::uint32_t width, std::uint32_t height) const;
    bool GuiSetParent(const clap::clap_window* window);
    bool GuiShow();
    bool GuiHide();
    void OnTimer(clap::clap_id timer);
    void OnFd(int fd, std::uint32_t flags);

    // The tail after the input falls silent, in samples at the current rate.
    std::uint32_t TailSamples() const;

    // Host-facing operations of the plug-in object (clap_host_calls.cpp).
    void BeginParamEdit(int index) override;
    void AutomateParam(int index, double normalized) override;
    void EndParamEdit(int index) override;
    void ReportPresetChange() override;
    std::int32_t GetSamplePosition() override;
    double GetTempo() override;
    void GetTimeSignature(std::int32_t* numerator, std::int32_t* denominator) override;
    void GetTransportInfo(TransportInfo& info) override;
    void ResizeEditor(int width, int height) override;
    bool SendMidiMessage(const MidiMessage& message) override;

private:
    template <typename T>
    const T* HostExtension(const char* id) const;
    // The panel's gestures go to the host with the next process; while there is none, the host
    // is asked for a flush (never from the audio thread).
    void AskForFlushIfIdle();
    // The queued gestures as events into the host's list, at the block's start.
    void DrainGestures(const clap::clap_output_events* out);
    // The parameter events of the host's list into changes_.
    void ReadParamEvents(const clap::clap_input_events* in);
    // The editor's window and the host's run loop around it.
    void CloseWindow();
    void StartRunLoop();
    void StopRunLoop();
    void IdleEditor();

    clap::clap_plugin plugin_;
    const clap::clap_host* host_;
    const clap::clap_host_params* hostParams_ = nullptr;
    const clap::clap_host_gui* hostGui_ = nullptr;
    const clap::clap_host_timer_support* hostTimers_ = nullptr;
    const clap::clap_host_posix_fd_support* hostFds_ = nullptr;

    bool active_ = false;
    bool processing_ = false;
    bool flushAsked_ = false;
    ParamChanges changes_;
    ClapGestureQueue gestures_;
    // The current block's transport while process runs, else null.
    const clap::clap_event_transport* transport_ = nullptr;

    bool guiCreated_ = false;
    bool windowOpen_ = false;
    clap::clap_id timer_ = clap::kInvalidId;
    int fd_ = -1;
};
