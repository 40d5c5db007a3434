#include <poll.h>

#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "adapter/host_params.h"
#include "plugin/make_nothrow.h"
#include "standalone/exit_signals.h"
#include "standalone/jack_client.h"
#include "standalone/panel_window.h"
#include "standalone/standalone_app.h"
#include "standalone/standalone_entry.h"
#include "standalone/state_file.h"

namespace {

using Clock = std::chrono::steady_clock;

// The editor's redraw tick, as a host's timer calls its idle.
constexpr auto kTick = std::chrono::milliseconds(20);
// Without a window the loop only wakes to report in verbose mode.
constexpr int kQuietWakeMs = 250;

void Say(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Say(const char* format, ...) {
    std::fputs("orv-q12: ", stderr);
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fputc('\n', stderr);
}

// What the parameter shows now, with its unit unless the unit only repeats its name.
std::string Shown(PluginBase& plug, int index) {
    char text[64] = "";
    char label[64] = "";
    HostParamDisplay(plug, index, text, sizeof(text));
    HostParamLabel(plug, index, label, sizeof(label));
    return DisplayWithLabel(text, label, plug.Param(index)->name);
}

// What it would show at a normalised value.
std::string ShownAt(PluginBase& plug, int index, double normalized) {
    char text[64] = "";
    HostParamDisplayOfNormalized(plug, index, normalized, text, sizeof(text));
    return text;
}

class StandaloneApp {
public:
    explicit StandaloneApp(const StandaloneOptions& options) : options_(options) {}
    int Run();

private:
    enum class End { kSignal, kWindowClosed, kServerGone, kDisplayLost, kFailed };

    bool Start();
    void RestoreSettings();
    bool ApplyParams();
    End Loop();
    int Finish(End end);
    void Report();
    // The window takes the panel's size when the panel changed its scale.
    void FollowPanelSize();

    const StandaloneOptions& options_;
    const Clock::time_point started_ = Clock::now();
    ExitSignals signals_;
    std::unique_ptr<StandalonePlugin> plug_;
    std::unique_ptr<StateFile> state_;
    std::unique_ptr<PanelWindow> window_;
    std::unique_ptr<JackClient> client_;
    int signal_ = 0;
    bool reportedStart_ = false;
    long reportedXruns_ = 0;
};

int StandaloneApp::Run() {
    if (!Start()) return 1;
    return Finish(Loop());
}

bool StandaloneApp::Start() {
    // Before JACK starts its threads, which inherit the blocked signals.
    if (!signals_.Block()) {
        Say("cannot take the signals that end the program: %s", std::strerror(errno));
        return false;
    }
    plug_ = CreateStandaloneEffect();
    if (plug_ == nullptr) {
        Say("out of memory");
        return false;
    }
    plug_->Open();

    const std::string path =
        options_.stateFile.empty() ? StateFile::DefaultPath() : options_.stateFile;
    if (path.empty()) {
        Say("warning: neither XDG_CONFIG_HOME nor HOME names a folder; the settings are not kept");
    } else {
        state_ = MakeNothrow<StateFile>(path);
    }

    std::string error;
    if (options_.gui) {
        int width = 0, height = 0;
        if (!plug_->EditorSize(&width, &height)) {
            Say("the effect has no panel to show");
            return false;
        }
        window_ = PanelWindow::Open(width, height, &error);
        if (window_ == nullptr) {
            Say("%s", error.c_str());
            return false;
        }
    }

    client_ = JackClient::Open(options_.clientName, *plug_, options_.verbose, &error);
    if (client_ == nullptr) {
        Say("%s", error.c_str());
        return false;
    }
    const double rate = client_->SampleRate();
    const int frames = client_->BufferSize();
    if (!plug_->Prepare(rate, frames)) {
        Say("the JACK server runs at %g Hz with %d frames; ORV Q12 runs from %g to %g Hz", rate,
            frames, StandalonePlugin::kMinSampleRate, StandalonePlugin::kMaxSampleRate);
        return false;
    }
    if (options_.verbose) {
        Say("JACK client \"%s\" at %g Hz, %d frames a period", client_->Name().c_str(), rate,
            frames);
    }
    RestoreSettings();
    if (!ApplyParams()) return false;

    if (!client_->Activate(&error)) {
        Say("%s", error.c_str());
        return false;
    }
    if (options_.connect) {
        for (const std::string& connection : client_->ConnectToSystem()) {
            if (options_.verbose) Say("connected %s", connection.c_str());
        }
    }
    if (window_ != nullptr) {
        if (!plug_->OpenEditor(window_->Handle())) {
            Say("cannot show the panel in the window");
            return false;
        }
        // The panel took the display's scale as it opened.
        FollowPanelSize();
        window_->Show();
    }
    return true;
}

void StandaloneApp::RestoreSettings() {
    if (state_ == nullptr) return;
    std::string problem;
    switch (state_->LoadInto(*plug_, &problem)) {
        case StateFile::Load::kLoaded:
            if (options_.verbose) Say("settings restored from %s", state_->Path().c_str());
            break;
        case StateFile::Load::kMissing:
            if (options_.verbose) Say("no settings in %s yet", state_->Path().c_str());
            break;
        case StateFile::Load::kDamaged:
            Say("ignoring the damaged settings in %s: %s", state_->Path().c_str(), problem.c_str());
            break;
        case StateFile::Load::kUnreadable:
            Say("ignoring the settings in %s: %s", state_->Path().c_str(), problem.c_str());
            break;
    }
}

bool StandaloneApp::ApplyParams() {
    std::vector<std::string> names;
    for (int i = 0; i < plug_->ParamCount(); ++i) names.push_back(plug_->Param(i)->name);
    for (const ParamOption& param : options_.params) {
        std::string error;
        const int index = FindParamByName(names, param.name, &error);
        if (index < 0) {
            Say("%s", error.c_str());
            return false;
        }
        if (!SetHostParamFromText(*plug_, index, param.value.c_str())) {
            Say("cannot set %s to '%s'", param.name.c_str(), param.value.c_str());
            return false;
        }
        const std::string warning =
            OutOfRangeWarning(names[index], param.value, ShownAt(*plug_, index, 0.0),
                              ShownAt(*plug_, index, 1.0), Shown(*plug_, index));
        if (!warning.empty()) Say("%s", warning.c_str());
    }
    return true;
}

StandaloneApp::End StandaloneApp::Loop() {
    Clock::time_point nextTick = Clock::now() + kTick;
    for (;;) {
        pollfd fds[4] = {};
        nfds_t count = 0;
        fds[count++] = {signals_.Descriptor(), POLLIN, 0};
        fds[count++] = {client_->ShutdownDescriptor(), POLLIN, 0};
        int timeout = kQuietWakeMs;
        if (window_ != nullptr) {
            fds[count++] = {window_->Descriptor(), POLLIN, 0};
            if (const int editorFd = plug_->EditorEventDescriptor(); editorFd >= 0)
                fds[count++] = {editorFd, POLLIN, 0};
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(nextTick - Clock::now());
            timeout = wait.count() > 0 ? static_cast<int>(wait.count()) : 0;
        }
        if (poll(fds, count, timeout) < 0 && errno != EINTR) {
            Say("the main loop failed: %s", std::strerror(errno));
            return End::kFailed;
        }
        if ((fds[0].revents & POLLIN) != 0 && (signal_ = signals_.Take()) != 0) return End::kSignal;
        if (fds[1].revents != 0) return End::kServerGone;
        if (window_ != nullptr) {
            const PanelWindow::State state = window_->HandleEvents();
            if (state == PanelWindow::State::kCloseAsked) return End::kWindowClosed;
            if (state == PanelWindow::State::kLost) return End::kDisplayLost;
            if (Clock::now() >= nextTick) nextTick = Clock::now() + kTick;
            plug_->IdleEditor();
            if (plug_->EditorEventDescriptor() < 0) return End::kDisplayLost;
            FollowPanelSize();
        }
        Report();
    }
}

void StandaloneApp::FollowPanelSize() {
    int width = 0, height = 0;
    if (window_ != nullptr && plug_->EditorSize(&width, &height)) window_->Resize(width, height);
}

void StandaloneApp::Report() {
    if (!options_.verbose) return;
    Clock::time_point first;
    if (!reportedStart_ && client_->FirstPeriod(&first)) {
        reportedStart_ = true;
        const auto ms = std::chrono::duration<double, std::milli>(first - started_).count();
        Say("first period processed %.1f ms after the start", ms);
    }
    const long xruns = client_->Xruns();
    if (xruns != reportedXruns_) {
        reportedXruns_ = xruns;
        Say("xruns so far: %ld", xruns);
    }
}

int StandaloneApp::Finish(End end) {
    Report();
    int status = 0;
    switch (end) {
        case End::kSignal:
            if (options_.verbose) Say("ending on signal %d (%s)", signal_, strsignal(signal_));
            break;
        case End::kWindowClosed:
            if (options_.verbose) Say("the window was closed");
            break;
        case End::kServerGone:
            Say("the JACK server shut down (%s)", client_->ShutdownReason().c_str());
            status = 1;
            break;
        case End::kDisplayLost:
            Say("the display closed the window");
            status = 1;
            break;
        case End::kFailed: status = 1; break;
    }
    // The audio stops first, so that nothing changes the settings while they are saved.
    client_.reset();
    plug_->CloseEditor();
    window_.reset();
    if (state_ != nullptr) {
        std::string problem;
        if (!state_->SaveFrom(*plug_, &problem)) {
            Say("cannot save the settings to %s: %s", state_->Path().c_str(), problem.c_str());
            return 1;
        }
        if (options_.verbose || status != 0) Say("settings saved to %s", state_->Path().c_str());
    }
    return status;
}

}  // namespace

int RunStandalone(const StandaloneOptions& options) { return StandaloneApp(options).Run(); }
