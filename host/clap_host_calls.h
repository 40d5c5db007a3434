// The clap_host every ClapInstance hands its plug-in, and the host extensions behind its
// get_extension: params (request_flush), state, gui, timer-support, posix-fd-support,
// thread-check, log, latency, tail, audio-ports. Every call reaches its instance through
// host_data; what it changes there the instance's own calls act on (the main-thread callback,
// the flush, the timers and descriptors IdleEditor pumps).
#pragma once

#include <vector>

#include "host/clap_plugin_host.h"

namespace host {

struct ClapHostCalls {
    // The clap_host of an instance, for a host named hostName.
    static clap::clap_host Host(ClapInstance* instance, const char* hostName);
    // The plug-in's events into the instance's record (the out-events list's try_push).
    static bool Push(const clap::clap_output_events* list, const clap::clap_event_header* event);
    static std::vector<ClapInstance::Fd>::iterator Find(std::vector<ClapInstance::Fd>& fds, int fd);

    static ClapInstance& Of(const clap::clap_host* host);
    static const void* GetExtension(const clap::clap_host* host, const char* id);
    static void RequestCallback(const clap::clap_host* host);
    static void RequestFlush(const clap::clap_host* host);
    static bool RequestResize(const clap::clap_host* host, std::uint32_t width,
                              std::uint32_t height);
    static bool RegisterTimer(const clap::clap_host* host, std::uint32_t period, clap::clap_id* id);
    static bool UnregisterTimer(const clap::clap_host* host, clap::clap_id id);
    static bool RegisterFd(const clap::clap_host* host, int fd, std::uint32_t flags);
    static bool ModifyFd(const clap::clap_host* host, int fd, std::uint32_t flags);
    static bool UnregisterFd(const clap::clap_host* host, int fd);
    static bool IsMainThread(const clap::clap_host* host);
    static bool IsAudioThread(const clap::clap_host* host);
    static void Log(const clap::clap_host* host, std::int32_t severity, const char* message);
};

}  // namespace host
