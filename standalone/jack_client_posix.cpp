#include <errno.h>
#include <fcntl.h>
#include <jack/jack.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "standalone/jack_client.h"

namespace {

const char* const kInputNames[2] = {"in_1", "in_2"};
const char* const kOutputNames[2] = {"out_1", "out_2"};

void DropJackMessage(const char* /*message*/) {}
void PrintJackMessage(const char* message) { std::fprintf(stderr, "orv-q12: jack: %s\n", message); }

std::string ServerName() {
    const char* name = std::getenv("JACK_DEFAULT_SERVER");
    return name != nullptr && name[0] != '\0' ? name : "default";
}

std::string OpenError(jack_status_t status) {
    const std::string server = "the JACK server \"" + ServerName() + "\"";
    if ((status & JackServerFailed) != 0) {
        return "cannot reach " + server +
               ": start one first, with qjackctl or jackd (jackd -d alsa), or run orv-q12 "
               "on PipeWire's JACK support: pw-jack orv-q12";
    }
    if ((status & JackVersionError) != 0)
        return server + " speaks another version of the protocol than this program's library";
    if ((status & JackShmFailure) != 0)
        return server + " runs, but its shared memory cannot be reached (another user's?)";
    char code[16];
    std::snprintf(code, sizeof(code), "0x%x", static_cast<unsigned>(status));
    return server + " refused the client (status " + code + ")";
}

}  // namespace

struct JackCallbacks {
    static int Process(jack_nframes_t frames, void* self) {
        static_cast<JackClient*>(self)->ProcessPeriod(frames);
        return 0;
    }
    static int BufferSize(jack_nframes_t frames, void* self) {
        auto* client = static_cast<JackClient*>(self);
        client->Reprepare(client->rate_, static_cast<int>(frames));
        return 0;
    }
    static int SampleRate(jack_nframes_t rate, void* self) {
        auto* client = static_cast<JackClient*>(self);
        client->Reprepare(rate, client->frames_);
        return 0;
    }
    static int Xrun(void* self) {
        static_cast<JackClient*>(self)->xruns_.fetch_add(1, std::memory_order_relaxed);
        return 0;
    }
    static void Shutdown(jack_status_t /*code*/, const char* reason, void* self) {
        static_cast<JackClient*>(self)->TakeShutdown(reason);
    }
};

std::unique_ptr<JackClient> JackClient::Open(const std::string& name, StandalonePlugin& plug,
                                             bool verbose, std::string* error) {
    jack_set_error_function(verbose ? &PrintJackMessage : &DropJackMessage);
    jack_set_info_function(verbose ? &PrintJackMessage : &DropJackMessage);
    if (name.size() + 1 > static_cast<std::size_t>(jack_client_name_size())) {
        *error = "the client name '" + name + "' is longer than JACK's " +
                 std::to_string(jack_client_name_size() - 1) + " characters";
        return nullptr;
    }
    jack_status_t status{};
    jack_client_t* client = jack_client_open(name.c_str(), JackNoStartServer, &status);
    if (client == nullptr) {
        *error = OpenError(status);
        return nullptr;
    }
    std::unique_ptr<JackClient> self(new (std::nothrow) JackClient(client, plug, verbose));
    if (self == nullptr) {
        jack_client_close(client);
        *error = "out of memory";
        return nullptr;
    }
    if (!self->RegisterPortsAndCallbacks(error)) return nullptr;
    return self;
}

JackClient::JackClient(jack_client_t* client, StandalonePlugin& plug, bool verbose)
    : client_(client), plug_(plug), verbose_(verbose) {}

JackClient::~JackClient() {
    // A client the server has shut down is closed already: asking a server that is going away
    // to close it makes jackd 1.9 die of SIGPIPE, leaving its shared memory behind.
    if (!shutDown_.load(std::memory_order_acquire)) {
        if (active_) jack_deactivate(client_);
        jack_client_close(client_);
    }
    for (int fd : shutdownPipe_) {
        if (fd >= 0) close(fd);
    }
}

bool JackClient::RegisterPortsAndCallbacks(std::string* error) {
    if (pipe2(shutdownPipe_, O_CLOEXEC | O_NONBLOCK) != 0) {
        *error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return false;
    }
    for (int c = 0; c < 2; ++c) {
        inputs_[c] = jack_port_register(client_, kInputNames[c], JACK_DEFAULT_AUDIO_TYPE,
                                        JackPortIsInput, 0);
        outputs_[c] = jack_port_register(client_, kOutputNames[c], JACK_DEFAULT_AUDIO_TYPE,
                                         JackPortIsOutput, 0);
        if (inputs_[c] == nullptr || outputs_[c] == nullptr) {
            *error = "the JACK server refused the client's ports";
            return false;
        }
    }
    rate_ = SampleRate();
    frames_ = BufferSize();
    if (jack_set_process_callback(client_, &JackCallbacks::Process, this) != 0 ||
        jack_set_buffer_size_callback(client_, &JackCallbacks::BufferSize, this) != 0 ||
        jack_set_sample_rate_callback(client_, &JackCallbacks::SampleRate, this) != 0 ||
        jack_set_xrun_callback(client_, &JackCallbacks::Xrun, this) != 0) {
        *error = "the JACK server refused the client's callbacks";
        return false;
    }
    jack_on_info_shutdown(client_, &JackCallbacks::Shutdown, this);
    return true;
}

std::string JackClient::Name() const { return jack_get_client_name(client_); }

double JackClient::SampleRate() const { return jack_get_sample_rate(client_); }

int JackClient::BufferSize() const { return static_cast<int>(jack_get_buffer_size(client_)); }

bool JackClient::Activate(std::string* error) {
    if (jack_activate(client_) != 0) {
        *error = "the JACK server did not start the client";
        return false;
    }
    active_ = true;
    return true;
}

std::vector<std::string> JackClient::ConnectToSystem() {
    std::vector<std::string> made;
    auto connect = [&](const char* from, const char* to) {
        const int result = jack_connect(client_, from, to);
        if (result == 0 || result == EEXIST) {
            made.push_back(std::string(from) + " -> " + to);
        } else {
            std::fprintf(stderr, "orv-q12: warning: cannot connect %s to %s\n", from, to);
        }
    };
    const char** capture = jack_get_ports(client_, nullptr, JACK_DEFAULT_AUDIO_TYPE,
                                          JackPortIsPhysical | JackPortIsOutput);
    if (capture != nullptr && capture[0] != nullptr) {
        const char* second = capture[1] != nullptr ? capture[1] : capture[0];
        connect(capture[0], jack_port_name(inputs_[0]));
        connect(second, jack_port_name(inputs_[1]));
    }
    jack_free(capture);
    const char** playback = jack_get_ports(client_, nullptr, JACK_DEFAULT_AUDIO_TYPE,
                                           JackPortIsPhysical | JackPortIsInput);
    // One playback port takes the first output only: both would play it twice as loud.
    for (int c = 0; playback != nullptr && c < 2 && playback[c] != nullptr; ++c)
        connect(jack_port_name(outputs_[c]), playback[c]);
    jack_free(playback);
    return made;
}

std::string JackClient::ShutdownReason() const {
    return shutdownReason_[0] != '\0' ? shutdownReason_ : "no reason given";
}

bool JackClient::FirstPeriod(std::chrono::steady_clock::time_point* at) const {
    if (!processed_.load(std::memory_order_acquire)) return false;
    *at = std::chrono::steady_clock::time_point(
        std::chrono::steady_clock::duration(firstPeriodAt_.load(std::memory_order_relaxed)));
    return true;
}

void JackClient::ProcessPeriod(std::uint32_t frames) {
    float* inputs[2];
    float* outputs[2];
    for (int c = 0; c < 2; ++c) {
        inputs[c] = static_cast<float*>(jack_port_get_buffer(inputs_[c], frames));
        outputs[c] = static_cast<float*>(jack_port_get_buffer(outputs_[c], frames));
    }
    plug_.Process(inputs, outputs, static_cast<int>(frames));
    if (!processed_.load(std::memory_order_relaxed)) {
        // Once: the clock is read through the vDSO, without a system call.
        firstPeriodAt_.store(std::chrono::steady_clock::now().time_since_epoch().count(),
                             std::memory_order_relaxed);
        processed_.store(true, std::memory_order_release);
    }
}

void JackClient::Reprepare(double rate, int frames) {
    if (rate == rate_ && frames == frames_) return;
    if (!plug_.Prepare(rate, frames)) {
        std::fprintf(stderr, "orv-q12: warning: cannot follow the server to %g Hz, %d frames\n",
                     rate, frames);
        return;
    }
    rate_ = rate;
    frames_ = frames;
    if (verbose_)
        std::fprintf(stderr, "orv-q12: the server now runs at %g Hz, %d frames\n", rate, frames);
}

void JackClient::TakeShutdown(const char* reason) {
    if (reason != nullptr) {
        std::size_t n = 0;
        for (; reason[n] != '\0' && n + 1 < sizeof(shutdownReason_); ++n)
            shutdownReason_[n] = reason[n];
        shutdownReason_[n] = '\0';
    }
    shutDown_.store(true, std::memory_order_release);
    const char byte = 1;
    // Nothing more can be done when the pipe is full: a byte is already waiting there.
    [[maybe_unused]] const ssize_t ignored = write(shutdownPipe_[1], &byte, 1);
}
