// orv-render as a user runs it: a real command line, real files.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

const std::string kDir = ORV_TEST_OUTPUT_DIR;

int Shell(const std::string& command) {
    return std::system((command + " 2>" + kDir + "/stderr.txt").c_str());
}

struct Wav {
    SF_INFO info{};
    std::vector<double> samples;
};

Wav Read(const std::string& path) {
    Wav wav;
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &wav.info);
    if (file == nullptr) return wav;
    wav.samples.resize(static_cast<size_t>(wav.info.frames * wav.info.channels));
    sf_readf_double(file, wav.samples.data(), wav.info.frames);
    sf_close(file);
    return wav;
}

}  // namespace

TEST(OrvRenderTest, RendersTheDemoInBothPrecisions) {
    const std::string demo = kDir + "/demo.wav";
    ASSERT_EQ(Shell(std::string(ORV_DEMO_SIGNAL) + " " + demo + " --rate 44100"), 0);
    const Wav input = Read(demo);
    ASSERT_EQ(input.info.channels, 1);
    ASSERT_GT(input.info.frames, 44100);

    for (const char* precision : {"32", "64"}) {
        const std::string out = kDir + "/out" + precision + ".wav";
        ASSERT_EQ(Shell(std::string(ORV_RENDER) + " --precision " + precision +
                        " --block 300 --param drive=7.5 --param Quality=0 " + demo + " " + out),
                  0);
        const Wav output = Read(out);
        EXPECT_EQ(output.info.channels, 1);
        EXPECT_EQ(output.info.frames, input.info.frames);
        EXPECT_EQ(output.info.samplerate, 44100);
        EXPECT_EQ(output.info.format & SF_FORMAT_SUBMASK,
                  precision[0] == '6' ? SF_FORMAT_DOUBLE : SF_FORMAT_FLOAT);
        double energy = 0;
        for (double v : output.samples) {
            ASSERT_TRUE(std::isfinite(v));
            energy += v * v;
        }
        EXPECT_GT(energy, 0);
    }
}

TEST(OrvRenderTest, ClearErrorsForBadInput) {
    const std::string render = ORV_RENDER;
    const std::string demo = kDir + "/demo.wav";
    Shell(std::string(ORV_DEMO_SIGNAL) + " " + demo);
    EXPECT_NE(Shell(render + " " + kDir + "/missing.wav " + kDir + "/x.wav"), 0);
    EXPECT_NE(Shell(render + " --param Gain=3 " + demo + " " + kDir + "/x.wav"), 0);
    EXPECT_NE(Shell(render + " --precision 16 " + demo + " " + kDir + "/x.wav"), 0);
    EXPECT_NE(Shell(render + " --plugin " + demo + " " + demo + " " + kDir + "/x.wav"), 0);
    EXPECT_NE(Shell(render + " " + demo), 0);
}

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteSine(const std::string& path, int rate, double seconds) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    std::vector<float> samples(static_cast<size_t>(rate * seconds));
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = 0.1f * std::sin(0.1f * i);
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << path;
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
}

}  // namespace

TEST(OrvRenderTest, ListsEveryParameterWithItsRangeAndDefault) {
    ASSERT_EQ(Shell(std::string(ORV_RENDER) + " --list-params >" + kDir + "/params.txt"), 0);
    EXPECT_EQ(ReadText(kDir + "/params.txt"),
              "Input    0.000 .. 2.000   default 1.000\n"
              "Drive    0.000 .. 10.000  default 5.000\n"
              "Filter   0.000 .. 10.000  default 5.000\n"
              "Volume   0.000 .. 10.000  default 5.000\n"
              "Stereo   0 .. 1           default 0\n"
              "Quality  0 .. 1           default 1\n"
              "Bypass   0 .. 1           default 0\n");
    EXPECT_NE(Shell(std::string(ORV_RENDER) + " --list-params " + kDir + "/x.wav"), 0);
}

TEST(OrvRenderTest, WarnsAboutAValueOutsideTheRangeAndRendersTheClampedOne) {
    const std::string render = ORV_RENDER;
    const std::string demo = kDir + "/demo.wav";
    ASSERT_EQ(Shell(std::string(ORV_DEMO_SIGNAL) + " " + demo), 0);
    ASSERT_EQ(Shell(render + " --param Drive=12 --param Stereo=-1 --param Volume=7 " + demo + " " +
                    kDir + "/clamped.wav"),
              0);
    EXPECT_EQ(ReadText(kDir + "/stderr.txt"),
              "orv-render: warning: Drive=12 lies outside 0.000 .. 10.000; clamped to 10.000\n"
              "orv-render: warning: Stereo=-1 lies outside 0 .. 1; clamped to 0\n");

    ASSERT_EQ(
        Shell(render + " --param Drive=10 --param Volume=7 " + demo + " " + kDir + "/ten.wav"), 0);
    EXPECT_EQ(ReadText(kDir + "/stderr.txt"), "");
    EXPECT_EQ(Read(kDir + "/clamped.wav").samples, Read(kDir + "/ten.wav").samples);
}

TEST(OrvRenderTest, ShowsProgressOnlyOnATerminalAndForInputsOverTenSeconds) {
    const std::string render = ORV_RENDER;
    const std::string longInput = kDir + "/long.wav", shortInput = kDir + "/short.wav";
    WriteSine(longInput, 8000, 10.5);
    WriteSine(shortInput, 8000, 9.5);
    // script(1) runs the command with a terminal as its standard error and copies what it shows.
    auto onTerminal = [&](const std::string& input) {
        const std::string shown = kDir + "/terminal.txt";
        Shell("script -qec '" + render + " " + input + " " + kDir +
              "/x.wav' /dev/null </dev/null >" + shown);
        return ReadText(shown);
    };
    EXPECT_NE(onTerminal(longInput).find("rendering 100%"), std::string::npos);
    EXPECT_EQ(onTerminal(shortInput), "");

    ASSERT_EQ(Shell(render + " " + longInput + " " + kDir + "/x.wav"), 0);
    EXPECT_EQ(ReadText(kDir + "/stderr.txt"), "");
}
