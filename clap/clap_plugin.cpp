#include "clap/clap_plugin.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "clap/clap_entry.h"
#include "clap/clap_extensions.h"
#include "clap/clap_window.h"

using namespace clap;

namespace {

// No host runs below 8 kHz; far below that (a subnormal rate, say) the coefficients overflow.
constexpr double kMinSampleRate = 1000;
constexpr double kMaxSampleRate = 1536000;
// The scratch buffers hold this much at most; a host's longer blocks run in pieces.
constexpr std::uint32_t kMaxScratchFrames = 8192;

ClapPlugin* Of(const clap_plugin* plugin) { return ClapPlugin::From(plugin); }

bool Init(const clap_plugin* p) { return Of(p) != nullptr && Of(p)->Init(); }

// A host may destroy the plug-in with its editor open: the window goes first, and the host's
// timer and descriptor with it.
void Destroy(const clap_plugin* p) {
    if (ClapPlugin* plug = Of(p)) {
        plug->GuiDestroy();
        delete plug;
    }
}

bool Activate(const clap_plugin* p, double rate, std::uint32_t minFrames, std::uint32_t maxFrames) {
    return Of(p) != nullptr && Of(p)->Activate(rate, minFrames, maxFrames);
}

void Deactivate(const clap_plugin* p) {
    if (ClapPlugin* plug = Of(p)) plug->Deactivate();
}

bool StartProcessing(const clap_plugin* p) { return Of(p) != nullptr && Of(p)->StartProcessing(); }

void StopProcessing(const clap_plugin* p) {
    if (ClapPlugin* plug = Of(p)) plug->StopProcessing();
}

// The effect's circuit has no state to clear short of preparing it again, which is no work for
// the audio thread; its states come back to rest by themselves.
void Reset(const clap_plugin*) {}

clap_process_status Process(const clap_plugin* p, const clap_process* process) {
    ClapPlugin* plug = Of(p);
    return plug != nullptr && process != nullptr ? plug->Process(*process) : CLAP_PROCESS_ERROR;
}

const void* GetExtension(const clap_plugin* p, const char* id) {
    return Of(p) != nullptr && id != nullptr ? Of(p)->Extension(id) : nullptr;
}

void OnMainThread(const clap_plugin* p) {
    if (ClapPlugin* plug = Of(p)) plug->OnMainThread();
}

}  // namespace

ClapPlugin::ClapPlugin(const clap_host* host, const PluginConstants& constants)
    : PluginBase(constants), host_(host) {
    plugin_ = {&kClapDescriptor,
               this,
               &::Init,
               &Destroy,
               &::Activate,
               &::Deactivate,
               &::StartProcessing,
               &::StopProcessing,
               &Reset,
               &::Process,
               &GetExtension,
               &::OnMainThread};
    hostCode = 0;  // the host table names VST 2 products; no CLAP host is told apart
    for (int i = 0; i < NInputs(); ++i) Input(i)->connected = true;
    for (int i = 0; i < NOutputs(); ++i) Output(i)->connected = true;
    if (IsComplete() && !SetBlockSize(1024)) MarkIncomplete();
}

ClapPlugin::~ClapPlugin() {
    CloseWindow();
    DeleteEditor();
}

ClapPlugin* ClapPlugin::From(const clap_plugin* plugin) {
    return plugin != nullptr ? static_cast<ClapPlugin*>(plugin->plugin_data) : nullptr;
}

template <typename T>
const T* ClapPlugin::HostExtension(const char* id) const {
    if (host_ == nullptr || host_->get_extension == nullptr) return nullptr;
    return static_cast<const T*>(host_->get_extension(host_, id));
}

bool ClapPlugin::Init() {
    LockGuard guard(lock);
    hostParams_ = HostExtension<clap_host_params>(kExtParams);
    hostGui_ = HostExtension<clap_host_gui>(kExtGui);
    hostTimers_ = HostExtension<clap_host_timer_support>(kExtTimerSupport);
    hostFds_ = HostExtension<clap_host_posix_fd_support>(kExtPosixFdSupport);
    // What a VST 2 host's effOpen does: the effect hears every value once ("Quality" sets the
    // oversampling from here on).
    ReportAllParams();
    return true;
}

bool ClapPlugin::Activate(double rate, std::uint32_t minFrames, std::uint32_t maxFrames) {
    LockGuard guard(lock);
    if (active_ || !(rate >= kMinSampleRate && rate <= kMaxSampleRate)) return false;
    if (maxFrames < 1 || minFrames > maxFrames) return false;
    if (!SetBlockSize(static_cast<int>(std::min(maxFrames, kMaxScratchFrames)))) return false;
    sampleRate = rate;
    ResetState();
    ActivationChanged(true);
    active_ = true;
    return true;
}

void ClapPlugin::Deactivate() {
    LockGuard guard(lock);
    if (!active_) return;
    active_ = false;
    processing_ = false;
    ActivationChanged(false);
    ResetState();
    AskForFlushIfIdle();
}

bool ClapPlugin::StartProcessing() {
    LockGuard guard(lock);
    if (!active_) return false;
    processing_ = true;
    return true;
}

void ClapPlugin::StopProcessing() {
    LockGuard guard(lock);
    processing_ = false;
    // Gestures the last block did not take wait for a flush, which only the main thread may ask.
    if (!gestures_.Empty() && host_ != nullptr && host_->request_callback != nullptr) {
        host_->request_callback(host_);
    }
}

const void* ClapPlugin::Extension(const char* id) const {
    struct Row {
        const char* id;
        const void* table;
    };
    const Row rows[] = {
        {kExtAudioPorts, &kClapAudioPorts}, {kExtParams, &kClapParams}, {kExtState, &kClapState},
        {kExtLatency, &kClapLatency},       {kExtTail, &kClapTail},     {kExtGui, &kClapGui},
    };
    for (const Row& row : rows) {
        if (std::strcmp(id, row.id) == 0) return row.table;
    }
    // Only where the editor idles in the host's loop.
    if (ClapEditorIdlesInHostLoop()) {
        if (std::strcmp(id, kExtTimerSupport) == 0) return &kClapTimerSupport;
        if (std::strcmp(id, kExtPosixFdSupport) == 0) return &kClapPosixFdSupport;
    }
    return nullptr;
}

void ClapPlugin::OnMainThread() {
    LockGuard guard(lock);
    flushAsked_ = false;
    AskForFlushIfIdle();
}
