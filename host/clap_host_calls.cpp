#include "host/clap_host_calls.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

using namespace clap;

namespace host {

namespace {

// What a host may answer without doing anything.
void Nothing(const clap_host*) {}
void NothingWith(const clap_host*, std::uint32_t) {}
void NothingFor(const clap_host*, clap_id, std::uint32_t) {}
void NothingClosed(const clap_host*, bool) {}
bool Yes(const clap_host*) { return true; }
bool No(const clap_host*, std::uint32_t) { return false; }

const clap_host_params kHostParams = {&NothingWith, &NothingFor, &ClapHostCalls::RequestFlush};
const clap_host_state kHostState = {&Nothing};
const clap_host_gui kHostGui = {&Nothing, &ClapHostCalls::RequestResize, &Yes, &Yes,
                                &NothingClosed};
const clap_host_timer_support kHostTimers = {&ClapHostCalls::RegisterTimer,
                                             &ClapHostCalls::UnregisterTimer};
const clap_host_posix_fd_support kHostFds = {&ClapHostCalls::RegisterFd, &ClapHostCalls::ModifyFd,
                                             &ClapHostCalls::UnregisterFd};
const clap_host_thread_check kHostThreadCheck = {&ClapHostCalls::IsMainThread,
                                                 &ClapHostCalls::IsAudioThread};
const clap_host_log kHostLog = {&ClapHostCalls::Log};
const clap_host_latency kHostLatency = {&Nothing};
const clap_host_tail kHostTail = {&Nothing};
const clap_host_audio_ports kHostAudioPorts = {&No, &NothingWith};

}  // namespace

clap_host ClapHostCalls::Host(ClapInstance* instance, const char* hostName) {
    return {kVersion, instance,      hostName, "ORV AUDIO", "",
            "1.0",    &GetExtension, &Nothing, &Nothing,    &RequestCallback};
}

ClapInstance& ClapHostCalls::Of(const clap_host* host) {
    return *static_cast<ClapInstance*>(host->host_data);
}

const void* ClapHostCalls::GetExtension(const clap_host*, const char* id) {
    struct Row {
        const char* id;
        const void* table;
    };
    const Row rows[] = {
        {kExtParams, &kHostParams},
        {kExtState, &kHostState},
        {kExtGui, &kHostGui},
        {kExtTimerSupport, &kHostTimers},
        {kExtPosixFdSupport, &kHostFds},
        {kExtThreadCheck, &kHostThreadCheck},
        {kExtLog, &kHostLog},
        {kExtLatency, &kHostLatency},
        {kExtTail, &kHostTail},
        {kExtAudioPorts, &kHostAudioPorts},
    };
    for (const Row& row : rows) {
        if (id != nullptr && std::strcmp(id, row.id) == 0) return row.table;
    }
    return nullptr;
}

void ClapHostCalls::RequestCallback(const clap_host* host) { Of(host).callbackRequested_ = true; }

void ClapHostCalls::RequestFlush(const clap_host* host) { Of(host).flushRequested_ = true; }

bool ClapHostCalls::RequestResize(const clap_host* host, std::uint32_t width,
                                  std::uint32_t height) {
    ClapInstance& in = Of(host);
    std::lock_guard<std::mutex> guard(in.recordMutex_);
    if (in.record_.size() < in.record_.capacity()) {
        in.record_.push_back(
            {HostEvent::Type::kResize, -1, 0, static_cast<int>(width), static_cast<int>(height)});
    }
    return true;
}

bool ClapHostCalls::RegisterTimer(const clap_host* host, std::uint32_t period, clap_id* id) {
    ClapInstance& in = Of(host);
    if (id == nullptr || in.timers_.size() >= in.timers_.capacity()) return false;
    const std::chrono::milliseconds every(std::max<std::uint32_t>(period, 1));
    *id = in.nextTimerId_++;
    in.timers_.push_back({*id, every, std::chrono::steady_clock::now() + every});
    return true;
}

bool ClapHostCalls::UnregisterTimer(const clap_host* host, clap_id id) {
    auto& timers = Of(host).timers_;
    const auto found = std::find_if(timers.begin(), timers.end(),
                                    [id](const ClapInstance::Timer& t) { return t.id == id; });
    if (found == timers.end()) return false;
    timers.erase(found);
    return true;
}

std::vector<ClapInstance::Fd>::iterator ClapHostCalls::Find(std::vector<ClapInstance::Fd>& fds,
                                                            int fd) {
    return std::find_if(fds.begin(), fds.end(),
                        [fd](const ClapInstance::Fd& f) { return f.fd == fd; });
}

bool ClapHostCalls::RegisterFd(const clap_host* host, int fd, std::uint32_t flags) {
    auto& fds = Of(host).fds_;
    if (fd < 0 || fds.size() >= fds.capacity() || Find(fds, fd) != fds.end()) return false;
    fds.push_back({fd, flags});
    return true;
}

bool ClapHostCalls::ModifyFd(const clap_host* host, int fd, std::uint32_t flags) {
    auto& fds = Of(host).fds_;
    const auto found = Find(fds, fd);
    if (found == fds.end()) return false;
    found->flags = flags;
    return true;
}

bool ClapHostCalls::UnregisterFd(const clap_host* host, int fd) {
    auto& fds = Of(host).fds_;
    const auto found = Find(fds, fd);
    if (found == fds.end()) return false;
    fds.erase(found);
    return true;
}

bool ClapHostCalls::IsMainThread(const clap_host* host) {
    const ClapInstance& in = Of(host);
    return std::this_thread::get_id() == in.mainThread_ && !in.inAudioCall_;
}

bool ClapHostCalls::IsAudioThread(const clap_host* host) { return Of(host).inAudioCall_; }

void ClapHostCalls::Log(const clap_host* host, std::int32_t severity, const char* message) {
    if (severity >= CLAP_LOG_WARNING) {
        std::fprintf(stderr, "%s: CLAP plug-in says (%d): %s\n", Of(host).hostName_.c_str(),
                     static_cast<int>(severity), message != nullptr ? message : "");
    }
}

bool ClapHostCalls::Push(const clap_output_events* list, const clap_event_header* event) {
    return event != nullptr && static_cast<ClapInstance*>(list->ctx)->Record(*event);
}

}  // namespace host
