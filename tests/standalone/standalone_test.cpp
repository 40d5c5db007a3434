// orv-q12 in a JACK server of the test's own, without a display: what it plays, what it keeps
// between runs, and how it ends.
#include <sndfile.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "tests/standalone/standalone_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;

bool WriteWav(const std::string& path, const StereoSignal& signal) {
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) return false;
    std::vector<float> frames;
    for (int i = 0; i < signal.Frames(); ++i) {
        frames.push_back(signal.channel[0][i]);
        frames.push_back(signal.channel[1][i]);
    }
    const bool ok = sf_writef_float(file, frames.data(), signal.Frames()) == signal.Frames();
    sf_close(file);
    return ok;
}

StereoSignal ReadWav(const std::string& path) {
    StereoSignal signal;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr || info.channels != 2) return signal;
    std::vector<float> frames(static_cast<size_t>(info.frames) * 2);
    sf_readf_float(file, frames.data(), info.frames);
    sf_close(file);
    for (size_t i = 0; i < frames.size(); i += 2) {
        signal.channel[0].push_back(frames[i]);
        signal.channel[1].push_back(frames[i + 1]);
    }
    return signal;
}

// orv-render's output for the input, at the server's rate with the server's period as its block.
StereoSignal Render(const std::string& dir, const StereoSignal& input,
                    const std::vector<std::string>& params) {
    std::string command = std::string(ORV_RENDER) + " --block " + std::to_string(kPeriod);
    for (const std::string& p : params) command += " " + p;
    if (!WriteWav(dir + "/in.wav", input)) return {};
    if (std::system((command + " " + dir + "/in.wav " + dir + "/out.wav").c_str()) != 0) return {};
    return ReadWav(dir + "/out.wav");
}

// The seven values of a state file's 64 bytes; zeros for any other file.
std::vector<double> StateValues(const std::string& bytes) {
    std::vector<double> values(7, 0.0);
    if (bytes.size() != 64) return values;
    std::memcpy(values.data(), bytes.data() + 8, 56);
    return values;
}

int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace

TEST_F(StandaloneTest, PlaysWhatOrvRenderRendersForTheSameSettings) {
    StartServer();
    const std::vector<std::string> params = {"--param",  "Drive=7", "--param",
                                             "Stereo=1", "--param", "Filter=3"};
    std::vector<std::string> args = {"--no-gui", "--no-connect", "--state", dir_ + "/state"};
    args.insert(args.end(), params.begin(), params.end());
    const auto spawned = Clock::now();
    ChildProcess orv;
    RunOrvQ12(orv, args);
    const StereoSignal signal = TestSignal(kRate);
    constexpr int kSilentPeriods = 8;
    client_.Arm(signal, kSilentPeriods, (kSilentPeriods + 8) * kPeriod + signal.Frames());
    ASSERT_TRUE(client_.WaitRecorded(30));
    const double lived = std::chrono::duration<double>(Clock::now() - spawned).count();
    EXPECT_EQ(Terminate(orv), 0);
    const StereoSignal& got = client_.Recorded();

    // The first period that came back, found in orv-q12's life so far: its silence, rendered.
    int first = 0;
    while (first < got.Frames() && got.channel[0][first] == 0 && got.channel[1][first] == 0)
        first += kPeriod;
    ASSERT_LT(first, kSilentPeriods * kPeriod) << "nothing came back before the signal";
    const int lifeFrames = static_cast<int>((lived + 1) * kRate) / kPeriod * kPeriod;
    const StereoSignal quiet = Render(dir_, Silence(lifeFrames), params);
    int at = 0;
    while (at < quiet.Frames() && !SameFrom(quiet, at, got, first, kPeriod)) at += kPeriod;
    ASSERT_LT(at, quiet.Frames()) << "the first period is not one orv-render's silence makes";

    // The signal reached orv-q12 within a period or two of when the test client played it.
    const int recorded = got.Frames() - first;
    bool same = false;
    for (int shift = -2; shift <= 2 && !same; ++shift) {
        const int start = at + (kSilentPeriods + shift) * kPeriod - first;
        if (start < 0) continue;
        StereoSignal input = Silence(start);
        for (int c = 0; c < 2; ++c) {
            input.channel[c].insert(input.channel[c].end(), signal.channel[c].begin(),
                                    signal.channel[c].end());
            input.channel[c].resize(std::max(input.Frames(), at + recorded), 0.0f);
        }
        same = SameFrom(Render(dir_, input, params), at, got, first, recorded);
    }
    EXPECT_TRUE(same) << "xruns: " << client_.Xruns();
}

TEST_F(StandaloneTest, KeepsItsSettingsBetweenRunsAndSurvivesADamagedFile) {
    StartServer();
    const std::string folder = dir_ + "/made";
    const std::string state = folder + "/state";
    ChildProcess first;
    RunOrvQ12(first, {"--no-gui", "--state", state, "--param", "Drive=7.5", "--param", "bypass=1"});
    EXPECT_EQ(Terminate(first), 0);
    const std::string saved = ReadFile(state);
    ASSERT_EQ(saved.size(), 64u);
    EXPECT_EQ(StateValues(saved)[1], 7.5);
    EXPECT_EQ(StateValues(saved)[6], 1.0);

    // Restored, and saved again on Ctrl+C as it was.
    ChildProcess second;
    RunOrvQ12(second, {"--no-gui", "--state", state});
    second.Signal(SIGINT);
    int status = -1;
    ASSERT_TRUE(second.Wait(10, &status));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadFile(state), saved);
    EXPECT_EQ(Output(), "");

    // A file cut short is reported, left alone while the program runs, then replaced.
    WriteFile(state, saved.substr(0, 60));
    ChildProcess third;
    RunOrvQ12(third, {"--no-gui", "--state", state});
    EXPECT_EQ(ReadFile(state), saved.substr(0, 60));
    EXPECT_EQ(Terminate(third), 0);
    EXPECT_EQ(Lines(Output()), 1);
    EXPECT_NE(Output().find("damaged"), std::string::npos) << Output();
    const std::string fresh = ReadFile(state);
    ASSERT_EQ(fresh.size(), 64u);
    EXPECT_EQ(StateValues(fresh)[1], 5.0);
    EXPECT_EQ(StateValues(fresh)[6], 0.0);
    // Every save renamed its file into place: no temporary file stays behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                            std::filesystem::directory_iterator()),
              1);

    // Without --state the settings live in the user's configuration folder (XDG_CONFIG_HOME).
    ChildProcess fourth;
    RunOrvQ12(fourth, {"--no-gui"});
    EXPECT_EQ(Terminate(fourth), 0);
    EXPECT_EQ(ReadFile(dir_ + "/orv-q12/state"), fresh);
}

TEST_F(StandaloneTest, EndsWithAMessageAndStatus1WhenTheServerStops) {
    StartServer();
    ChildProcess orv;
    RunOrvQ12(orv, {"--no-gui", "--state", dir_ + "/state", "--param", "Volume=2"});
    StopServer();
    int status = -1;
    ASSERT_TRUE(orv.Wait(5, &status));
    EXPECT_EQ(status, 1);
    EXPECT_NE(Output().find("the JACK server shut down"), std::string::npos) << Output();
    EXPECT_EQ(StateValues(ReadFile(dir_ + "/state"))[3], 2.0) << "the settings were not saved";
}

TEST_F(StandaloneTest, WithoutAServerOrADisplaySaysWhatIsMissingAndEndsWithStatus1) {
    // No server runs under the test's server name.
    ChildProcess orv;
    StartOrvQ12(orv, {"--no-gui"});
    int status = -1;
    ASSERT_TRUE(orv.Wait(5, &status)) << "still trying after 5 s";
    EXPECT_EQ(status, 1);
    EXPECT_EQ(Lines(Output()), 1);
    EXPECT_NE(Output().find("cannot reach the JACK server \"" + serverName_ + "\""),
              std::string::npos)
        << Output();
    EXPECT_NE(Output().find("pw-jack"), std::string::npos);

    ChildProcess windowed;
    StartOrvQ12(windowed, {});
    ASSERT_TRUE(windowed.Wait(5, &status));
    EXPECT_EQ(status, 1);
    EXPECT_NE(Output().find("--no-gui"), std::string::npos) << Output();
    EXPECT_FALSE(std::filesystem::exists(dir_ + "/orv-q12/state"));
}
