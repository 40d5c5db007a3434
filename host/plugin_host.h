// A host for plug-ins of any format, for the tools and the end-to-end suites: a module loaded by
// its path (LoadPlugin: a VST 2 file, a .vst3 bundle, a .clap file, an .lv2 bundle), instances
// made from it, and on each instance the calls every host makes whatever the format: start and
// stop, parameters, audio, state, the editor. Each format implements PluginModule and
// PluginInstance in a file of its own and adds one row to the table in plugin_formats.cpp.
// Values at this interface are normalised (0..1) doubles in every format; a format whose host
// interface takes floats (VST 2) takes the double as its float.
// Lifecycle: a module outlives its instances; an instance's destructor closes its editor, stops
// it and destroys it, as a careful host does.
// Threads: an instance is driven from one thread at a time, as a host's audio and user-interface
// threads take turns; HostEvents may be read from any thread. Process, SetParam, SetParamAt and
// GetParam allocate nothing on the host's side, so that a test can count the plug-in's
// allocations around them.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace host {

using Bytes = std::vector<std::uint8_t>;

// How a format's plug-in takes a state it cannot use whole (cut short, foreign, not a number).
enum class DamagedState {
    // VST 2's program chunks: the values a chunk covers load, and the load reports failure when
    // it was cut short; a value that is not a number leaves its parameter alone.
    kLoadsWhatItCovers,
    // Refused, with nothing changed.
    kRefused,
};

// Something the plug-in told its host.
struct HostEvent {
    enum class Type { kBeginEdit, kPerformEdit, kEndEdit, kResize };
    Type type;
    int index = -1;    // the parameter, for the edits
    double value = 0;  // the normalised value, for kPerformEdit
    int width = 0;     // the size asked for, for kResize
    int height = 0;

    bool operator==(const HostEvent& o) const {
        return type == o.type && index == o.index && value == o.value && width == o.width &&
               height == o.height;
    }
};

// A record of host events for a format's host to fill as the plug-in calls; safe to add to and
// read from any thread.
class HostRecord {
public:
    void Add(const HostEvent& event);
    std::vector<HostEvent> Events() const;
    void Clear();

private:
    mutable std::mutex mutex_;
    std::vector<HostEvent> events_;
};

class PluginInstance {
public:
    virtual ~PluginInstance() = default;

    virtual std::string Name() = 0;
    virtual std::string Vendor() = 0;
    // As "major.minor.patch".
    virtual std::string Version() = 0;

    // Prepares processing at the rate for blocks of at most maxBlock frames, and starts it. A
    // started instance is stopped first. False when the plug-in refuses.
    virtual bool Start(double sampleRate, int maxBlock) = 0;
    // Stops processing; nothing when it is not started.
    virtual void Stop() = 0;
    // 2: two inputs and two outputs (the default); 1: one of each, the mono configuration. Only
    // while stopped; false when the format or the plug-in has no such configuration.
    virtual bool SetChannels(int channels) = 0;

    virtual int ParamCount() = 0;
    virtual std::string ParamName(int index) = 0;
    virtual std::string ParamLabel(int index) = 0;
    // The text the plug-in shows for the parameter's current value.
    virtual std::string ParamDisplay(int index) = 0;
    // The text it would show for another value, where the format can ask without setting it;
    // false where it cannot (VST 2).
    virtual bool ParamDisplayOf(int index, double normalized, std::string* text) = 0;
    virtual double GetParam(int index) = 0;
    // As a host's automation sets it: heard from the next block on.
    virtual void SetParam(int index, double normalized) = 0;
    // At frame `offset` of the next block, where the format has sample-accurate changes; false
    // (nothing set) where it has not.
    virtual bool SetParamAt(int index, double normalized, int offset) = 0;
    // The typed text as the parameter's value, through the plug-in's own parsing, then set as
    // SetParam sets it. False when the plug-in cannot read the text.
    virtual bool SetParamFromText(int index, const std::string& text) = 0;

    // One block of audio, one buffer per channel (see SetChannels); an output may be its input.
    virtual void Process(float* const* inputs, float* const* outputs, int frames) = 0;
    virtual void Process(double* const* inputs, double* const* outputs, int frames) = 0;

    // The plug-in's state as the format saves it in a project; empty when saving failed.
    virtual Bytes SaveState() = 0;
    virtual bool LoadState(const Bytes& state) = 0;

    virtual bool HasEditor() = 0;
    // The editor's size in pixels; false without an editor.
    virtual bool EditorSize(int* width, int* height) = 0;
    // Opens the editor inside the host's window: an HWND on Windows, an X11 window id on Linux.
    virtual bool OpenEditor(void* parent) = 0;
    // What a host's user-interface loop does for an open editor between events: effEditIdle,
    // the run loop's descriptors and timers, the UI's idle call.
    virtual void IdleEditor() = 0;
    virtual void CloseEditor() = 0;
    // The display's scale as the host announces it to an editor it opens next (VST 3's content
    // scale factor, CLAP's set_scale); false when the format has no such call.
    virtual bool SetEditorScale(double /*factor*/) { return false; }

    // What the plug-in told the host since the instance was made or the record was cleared.
    virtual std::vector<HostEvent> HostEvents() = 0;
    virtual void ClearHostEvents() = 0;

    // Destroys the plug-in as it stands, its editor open or processing running, as a careless
    // host does; the instance does nothing afterwards.
    virtual void CloseAbruptly() = 0;
};

class PluginModule {
public:
    virtual ~PluginModule() = default;

    // The format's name ("VST 2", "VST 3", "CLAP", "LV2") and how its plug-ins take bad states.
    virtual const char* FormatName() const = 0;
    virtual DamagedState TakesDamagedState() const = 0;

    // A new instance, created and initialised as a host does before it asks anything (VST 2:
    // the entry point and effOpen); null when the module makes none.
    virtual std::unique_ptr<PluginInstance> CreateInstance() = 0;

    // The name the host gives of itself to instances made from now on.
    void SetHostName(const std::string& name) { hostName_ = name; }
    const std::string& HostName() const { return hostName_; }

private:
    std::string hostName_ = "ORV test host";
};

// Loads the module at path with the format the path names; null, with a one-line reason in
// error, when no format takes it or it cannot be loaded.
std::unique_ptr<PluginModule> LoadPlugin(const std::string& path, std::string* error);

}  // namespace host
