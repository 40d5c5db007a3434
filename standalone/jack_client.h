// orv-q12's client of a JACK server: two input ports and two output ports, a process callback
// that runs the plug-in's audio path on the server's buffers, the server's sample rate and
// buffer size followed into the plug-in, xruns counted, and the server's shutdown told to the
// main loop through a descriptor. The client does not start a server of its own.
// Lifecycle: Open, then the plug-in prepared at SampleRate and BufferSize, then Activate and
// ConnectToSystem; the destructor deactivates and closes the client, before the plug-in goes.
// Threads: the calls below on the main thread; the process callback on JACK's real-time thread,
// where it takes the plug-in lock and nothing else, allocates nothing and makes no system call;
// the rate, size and xrun callbacks on JACK's notification thread; the shutdown callback on
// whichever thread JACK ends the client on, doing only what a signal handler may.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "standalone/standalone_plugin.h"

typedef struct _jack_client jack_client_t;
typedef struct _jack_port jack_port_t;

class JackClient {
public:
    // A client named `name` (or a name the server makes unique from it) on the server
    // $JACK_DEFAULT_SERVER names, else the default one, with its ports and callbacks; null with
    // a line for the user in error when there is no server or it refuses. JACK's own messages
    // reach standard error only when verbose.
    static std::unique_ptr<JackClient> Open(const std::string& name, StandalonePlugin& plug,
                                            bool verbose, std::string* error);
    ~JackClient();
    JackClient(const JackClient&) = delete;
    JackClient& operator=(const JackClient&) = delete;

    std::string Name() const;
    double SampleRate() const;
    int BufferSize() const;

    // Processing starts; false with the reason when the server refuses.
    bool Activate(std::string* error);
    // The inputs from the first two capture ports (one capture port feeds both), the outputs to
    // the first two playback ports, as far as there are such ports. Returns a line per
    // connection made; a connection that fails is a warning on standard error.
    std::vector<std::string> ConnectToSystem();

    // Readable once the server has shut the client down; ShutdownReason then says why.
    int ShutdownDescriptor() const { return shutdownPipe_[0]; }
    std::string ShutdownReason() const;
    long Xruns() const { return xruns_.load(std::memory_order_relaxed); }
    // When the first period was processed; false before it.
    bool FirstPeriod(std::chrono::steady_clock::time_point* at) const;

private:
    JackClient(jack_client_t* client, StandalonePlugin& plug, bool verbose);
    bool RegisterPortsAndCallbacks(std::string* error);

    // The callbacks, in JACK's own types (jack_client_posix.cpp).
    friend struct JackCallbacks;
    void ProcessPeriod(std::uint32_t frames);
    // The server's new rate or size into the plug-in, on the notification thread.
    void Reprepare(double rate, int frames);
    void TakeShutdown(const char* reason);

    jack_client_t* client_;
    StandalonePlugin& plug_;
    const bool verbose_;
    jack_port_t* inputs_[2] = {nullptr, nullptr};
    jack_port_t* outputs_[2] = {nullptr, nullptr};
    bool active_ = false;
    // The notification thread's own view of the server, written only there once active.
    double rate_ = 0;
    int frames_ = 0;
    // Written by the process thread, read by the main thread.
    std::atomic<bool> processed_{false};
    std::atomic<std::chrono::steady_clock::rep> firstPeriodAt_{0};
    // Written by the notification thread.
    std::atomic<long> xruns_{0};
    // Written by the shutdown callback before its byte goes into the pipe.
    std::atomic<bool> shutDown_{false};
    int shutdownPipe_[2] = {-1, -1};
    char shutdownReason_[256] = "";
};
