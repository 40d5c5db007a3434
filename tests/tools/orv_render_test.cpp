// orv-render as a user runs it: a real command line, real files.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <cstdlib>
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
