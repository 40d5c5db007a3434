// orv-q12 as a user runs it, in a JACK server of the test's own: the dummy driver under a server
// name no other test (nor another suite's server) uses, stopped again after the test; the
// program started as a process of its own with its own environment; and a JACK client of the
// test's own that plays a signal into orv-q12's inputs and records what comes back.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <atomic>
#include <string>
#include <vector>

typedef struct _jack_client jack_client_t;
typedef struct _jack_port jack_port_t;

constexpr int kRate = 48000;
constexpr int kPeriod = 512;

struct StereoSignal {
    std::vector<float> channel[2];
    int Frames() const { return static_cast<int>(channel[0].size()); }
};

// Tones with a little noise on both channels, different on each.
StereoSignal TestSignal(int frames);
StereoSignal Silence(int frames);
// Whether `frames` frames of b from bAt on equal a's from aAt on, bit for bit.
bool SameFrom(const StereoSignal& a, int aAt, const StereoSignal& b, int bAt, int frames);

// A child process whose standard output and error go to a file.
class ChildProcess {
public:
    // argv[0] is the program's path; env entries ("NAME=value", or "NAME" to remove it) change
    // the test's own environment.
    bool Start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
               const std::string& output);
    ~ChildProcess();
    void Signal(int signal) const;
    // Waits up to `seconds` for the exit; false while it runs on. status: the exit status, or
    // 128 + the signal that ended it.
    bool Wait(double seconds, int* status);
    bool Running() const { return pid_ > 0; }

private:
    pid_t pid_ = -1;
};

// The test's JACK client: two outputs that play, two inputs that record, once armed.
class TestClient {
public:
    // Opens the client on the server named, waiting up to `seconds` for the server to answer.
    bool Open(const std::string& server, double seconds);
    ~TestClient();
    void Close();

    bool Connect(const std::string& from, const std::string& to);
    // Connects both ways with the client `name`'s in_1, in_2, out_1 and out_2.
    bool Patch(const std::string& name);

    // From its next period on, plays `silentPeriods` of silence, then the signal, then silence,
    // and records `frames` frames of both inputs.
    void Arm(const StereoSignal& signal, int silentPeriods, int frames);
    bool WaitRecorded(double seconds);
    const StereoSignal& Recorded() const { return recorded_; }
    long Xruns() const { return xruns_.load(); }

private:
    static int Process(std::uint32_t frames, void* self);
    static int Xrun(void* self);
    static void ShutDown(void* self);

    jack_client_t* client_ = nullptr;
    jack_port_t* outs_[2] = {nullptr, nullptr};
    jack_port_t* ins_[2] = {nullptr, nullptr};
    StereoSignal playing_;
    int silentFrames_ = 0;
    StereoSignal recorded_;
    int position_ = 0;
    std::atomic<bool> armed_{false};
    std::atomic<bool> done_{false};
    std::atomic<long> xruns_{0};
    std::atomic<bool> shutDown_{false};
};

class StandaloneTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the test's server and opens the test client on it.
    void StartServer();
    void StopServer();
    // orv-q12 with these arguments in the test's server, its output in Output(); with no
    // display unless `display`.
    void StartOrvQ12(ChildProcess& process, const std::vector<std::string>& args,
                     std::vector<std::string> env = {}, bool display = false);
    // Starts it and waits until it plays, connected both ways with the test client.
    void RunOrvQ12(ChildProcess& process, const std::vector<std::string>& args,
                   std::vector<std::string> env = {}, bool display = false);
    // SIGTERM, then its exit status.
    int Terminate(ChildProcess& process);
    std::string Output() const;

    std::string dir_;  // the test's own folder, emptied first
    std::string serverName_;
    ChildProcess server_;
    TestClient client_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
