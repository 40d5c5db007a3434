#include "tests/standalone/standalone_fixture.h"

#include <fcntl.h>
#include <jack/jack.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point After(double seconds) {
    return Clock::now() + std::chrono::microseconds(static_cast<long>(seconds * 1e6));
}

void Nap() { std::this_thread::sleep_for(std::chrono::milliseconds(10)); }

void Quiet(const char*) {}

}  // namespace

StereoSignal TestSignal(int frames) {
    StereoSignal s;
    unsigned noise = 12345;
    for (int i = 0; i < frames; ++i) {
        noise = noise * 1664525u + 1013904223u;
        const float n = static_cast<float>(static_cast<int>(noise >> 8) - (1 << 23)) / (1 << 26);
        const double t = static_cast<double>(i) / kRate;
        s.channel[0].push_back(static_cast<float>(0.4 * std::sin(2 * M_PI * 196 * t)) + n);
        s.channel[1].push_back(static_cast<float>(0.2 * std::sin(2 * M_PI * 294 * t)) - n);
    }
    return s;
}

StereoSignal Silence(int frames) {
    StereoSignal s;
    for (auto& channel : s.channel) channel.assign(frames, 0.0f);
    return s;
}

bool SameFrom(const StereoSignal& a, int aAt, const StereoSignal& b, int bAt, int frames) {
    if (aAt < 0 || bAt < 0 || aAt + frames > a.Frames() || bAt + frames > b.Frames()) return false;
    for (int c = 0; c < 2; ++c) {
        if (std::memcmp(&a.channel[c][aAt], &b.channel[c][bAt], frames * sizeof(float)) != 0)
            return false;
    }
    return true;
}

bool ChildProcess::Start(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                         const std::string& output) {
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        bool changed = false;
        for (const std::string& change : env) changed |= change.substr(0, change.find('=')) == name;
        if (!changed) environment.push_back(entry);
    }
    for (const std::string& change : env) {
        if (change.find('=') != std::string::npos) environment.push_back(change);
    }
    std::vector<char*> args, envp;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    for (const std::string& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
    args.push_back(nullptr);
    envp.push_back(nullptr);

    const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) return false;
    pid_ = fork();
    if (pid_ == 0) {
        // A test that crashes takes its servers and programs with it.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        dup2(out, 1);
        dup2(out, 2);
        execve(args[0], args.data(), envp.data());
        _exit(127);
    }
    close(out);
    return pid_ > 0;
}

ChildProcess::~ChildProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
}

void ChildProcess::Signal(int signal) const {
    if (pid_ > 0) kill(pid_, signal);
}

bool ChildProcess::Wait(double seconds, int* status) {
    const auto end = After(seconds);
    while (pid_ > 0) {
        int raw = 0;
        if (waitpid(pid_, &raw, WNOHANG) == pid_) {
            pid_ = -1;
            *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
            return true;
        }
        if (Clock::now() > end) return false;
        Nap();
    }
    return false;
}

bool TestClient::Open(const std::string& server, double seconds) {
    jack_set_error_function(&Quiet);
    jack_set_info_function(&Quiet);
    const auto options = static_cast<jack_options_t>(JackNoStartServer | JackServerName);
    for (const auto end = After(seconds); client_ == nullptr && Clock::now() < end; Nap())
        client_ = jack_client_open("orv-test", options, nullptr, server.c_str());
    if (client_ == nullptr) return false;
    const char* names[2][2] = {{"out_1", "out_2"}, {"in_1", "in_2"}};
    for (int c = 0; c < 2; ++c) {
        outs_[c] =
            jack_port_register(client_, names[0][c], JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
        ins_[c] =
            jack_port_register(client_, names[1][c], JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    }
    jack_set_process_callback(client_, &TestClient::Process, this);
    jack_on_shutdown(client_, &TestClient::ShutDown, this);
    jack_set_xrun_callback(client_, &TestClient::Xrun, this);
    return jack_activate(client_) == 0;
}

TestClient::~TestClient() { Close(); }

void TestClient::Close() {
    // One the server shut down is closed already (and libjack would crash closing it again).
    if (client_ != nullptr && !shutDown_.load()) jack_client_close(client_);
    client_ = nullptr;
}

bool TestClient::Connect(const std::string& from, const std::string& to) {
    const int result = jack_connect(client_, from.c_str(), to.c_str());
    return result == 0 || result == EEXIST;
}

bool TestClient::Patch(const std::string& name) {
    // Its ports exist a moment before the client is active and takes connections.
    for (const auto end = After(10); Clock::now() < end; Nap()) {
        bool ok = true;
        for (const char* c : {"1", "2"}) {
            ok = ok && Connect(std::string("orv-test:out_") + c, name + ":in_" + c);
            ok = ok && Connect(name + ":out_" + c, std::string("orv-test:in_") + c);
        }
        if (ok) return true;
    }
    return false;
}

void TestClient::Arm(const StereoSignal& signal, int silentPeriods, int frames) {
    armed_ = false;
    // A period still under way sees the old plan out before this one replaces it.
    std::this_thread::sleep_for(std::chrono::milliseconds(4 * 1000 * kPeriod / kRate));
    playing_ = signal;
    silentFrames_ = silentPeriods * kPeriod;
    for (auto& channel : recorded_.channel) channel.assign(frames, 0.0f);
    position_ = 0;
    done_ = false;
    armed_.store(true, std::memory_order_release);
}

bool TestClient::WaitRecorded(double seconds) {
    for (const auto end = After(seconds); Clock::now() < end; Nap()) {
        if (done_.load(std::memory_order_acquire)) return true;
    }
    return false;
}

int TestClient::Process(std::uint32_t frames, void* arg) {
    auto* self = static_cast<TestClient*>(arg);
    const bool armed = self->armed_.load(std::memory_order_acquire);
    const int length = armed ? self->recorded_.Frames() : 0;
    for (int c = 0; c < 2; ++c) {
        auto* out = static_cast<float*>(jack_port_get_buffer(self->outs_[c], frames));
        const auto* in = static_cast<const float*>(jack_port_get_buffer(self->ins_[c], frames));
        for (std::uint32_t i = 0; i < frames; ++i) {
            const int at = self->position_ + static_cast<int>(i);
            const int n = at - self->silentFrames_;
            const bool playing = armed && n >= 0 && n < self->playing_.Frames();
            out[i] = playing ? self->playing_.channel[c][n] : 0.0f;
            if (at < length) self->recorded_.channel[c][at] = in[i];
        }
    }
    if (armed) {
        self->position_ += static_cast<int>(frames);
        if (self->position_ >= length) self->done_.store(true, std::memory_order_release);
    }
    return 0;
}

void TestClient::ShutDown(void* self) { static_cast<TestClient*>(self)->shutDown_ = true; }

int TestClient::Xrun(void* self) {
    ++static_cast<TestClient*>(self)->xruns_;
    return 0;
}

void StandaloneTest::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::string(ORV_TEST_OUTPUT_DIR) + "/" + info->name();
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    // JACK keeps eight servers a user at most in one registry, and a server that dies leaves
    // its entry there until a server of the same name starts: the names are this build tree's
    // own (another tree's tests may run at the same time), the same at every run.
    static int servers = 0;
    serverName_ = "orv-" + std::to_string(std::hash<std::string>()(ORV_TEST_OUTPUT_DIR) % 100000) +
                  "-" + std::to_string(++servers % 4);
}

void StandaloneTest::TearDown() {
    client_.Close();
    // A server stopped the moment a client leaves may trip over its going.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    StopServer();
}

void StandaloneTest::StartServer() {
    ASSERT_TRUE(server_.Start({ORV_JACKD, "-n", serverName_, "-d", "dummy", "-r",
                               std::to_string(kRate), "-p", std::to_string(kPeriod)},
                              {}, dir_ + "/jackd.txt"));
    ASSERT_TRUE(client_.Open(serverName_, 10)) << ReadFile(dir_ + "/jackd.txt");
}

void StandaloneTest::StopServer() {
    if (!server_.Running()) return;
    server_.Signal(SIGTERM);
    int status = 0;
    if (!server_.Wait(10, &status)) ADD_FAILURE() << "jackd did not stop";
    // jackd 1.9 dies of SIGPIPE now and then, writing to a client that has just gone, and
    // leaves its place in JACK's registry (eight servers a user) and its shared memory behind:
    // a server of the same name reclaims them, and a clean stop gives them up.
    for (int attempt = 0; status != 0 && attempt < 3; ++attempt) {
        ChildProcess again;
        TestClient probe;
        if (!again.Start({ORV_JACKD, "-n", serverName_, "-d", "dummy"}, {}, dir_ + "/jackd-2.txt"))
            break;
        if (probe.Open(serverName_, 10)) probe.Close();
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        again.Signal(SIGTERM);
        if (!again.Wait(10, &status)) status = -1;
    }
    // The semaphores of clients that outlived the server stay behind otherwise.
    const std::string litter = "jack_sem.0_" + serverName_ + "_";
    for (const auto& entry : std::filesystem::directory_iterator("/dev/shm")) {
        if (entry.path().filename().string().rfind(litter, 0) == 0)
            std::filesystem::remove(entry.path());
    }
}

void StandaloneTest::StartOrvQ12(ChildProcess& process, const std::vector<std::string>& args,
                                 std::vector<std::string> env, bool display) {
    std::vector<std::string> argv = {ORV_Q12_PROGRAM};
    argv.insert(argv.end(), args.begin(), args.end());
    // Never the user's own settings.
    env.insert(env.begin(), {"JACK_DEFAULT_SERVER=" + serverName_, "XDG_CONFIG_HOME=" + dir_});
    if (!display) env.push_back("DISPLAY");
    ASSERT_TRUE(process.Start(argv, env, dir_ + "/orv-q12.txt"));
}

void StandaloneTest::RunOrvQ12(ChildProcess& process, const std::vector<std::string>& args,
                               std::vector<std::string> env, bool display) {
    StartOrvQ12(process, args, env, display);
    ASSERT_TRUE(client_.Patch("orv-q12")) << Output();
}

int StandaloneTest::Terminate(ChildProcess& process) {
    process.Signal(SIGTERM);
    int status = -1;
    EXPECT_TRUE(process.Wait(10, &status)) << "orv-q12 did not end on SIGTERM";
    return status;
}

std::string StandaloneTest::Output() const { return ReadFile(dir_ + "/orv-q12.txt"); }

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}
