// orv-demo-signal: writes the demo input for orv-render: a few seconds of a plucked
// power-chord riff, synthesised with the Karplus-Strong string model, as a mono float WAV.
//   orv-demo-signal OUT.wav [--rate HZ]
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// One plucked string: a delay line of one period, averaged as it circulates.
class PluckedString {
public:
    PluckedString(double frequencyHz, double rateHz, unsigned seed)
        : line_(static_cast<size_t>(rateHz / frequencyHz)) {
        for (double& sample : line_) {
            seed = seed * 1664525u + 1013904223u;
            sample = (static_cast<double>(seed >> 8) / 16777216.0) * 2 - 1;
        }
    }

    double Next() {
        const size_t next = (position_ + 1) % line_.size();
        const double out = line_[position_];
        line_[position_] = 0.498 * (line_[position_] + line_[next]);
        position_ = next;
        return out;
    }

private:
    std::vector<double> line_;
    size_t position_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: orv-demo-signal OUT.wav [--rate HZ]\n");
        return 1;
    }
    int rate = 48000;
    if (argc == 4 && std::strcmp(argv[2], "--rate") == 0) rate = std::atoi(argv[3]);
    if (rate < 8000 || rate > 384000) {
        std::fprintf(stderr, "orv-demo-signal: --rate takes 8000 to 384000 Hz\n");
        return 1;
    }

    // E5, G5, A5, E5: root and fifth, a new chord every half second, eight chords.
    const double roots[] = {82.41, 98.00, 110.00, 82.41};
    const int chordFrames = rate / 2;
    std::vector<float> signal(static_cast<size_t>(chordFrames) * 8, 0.0f);
    for (int chord = 0; chord < 8; ++chord) {
        const double root = roots[chord % 4];
        PluckedString low(root, rate, 1u + chord), fifth(root * 1.5, rate, 7u + chord),
            octave(root * 2, rate, 13u + chord);
        for (int i = 0; i < chordFrames; ++i) {
            const double v = 0.45 * low.Next() + 0.3 * fifth.Next() + 0.2 * octave.Next();
            signal[static_cast<size_t>(chord) * chordFrames + i] = static_cast<float>(0.5 * v);
        }
    }

    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(argv[1], SFM_WRITE, &info);
    if (file == nullptr) {
        std::fprintf(stderr, "orv-demo-signal: cannot write %s: %s\n", argv[1],
                     sf_strerror(nullptr));
        return 1;
    }
    sf_writef_float(file, signal.data(), static_cast<sf_count_t>(signal.size()));
    sf_close(file);
    return 0;
}
