#include "dsp/oversampler.h"

#include "dsp/dsp_constants.h"

Oversampler::Oversampler()
    : halfbands_{HalfbandFilter(kSteepHalfband),  HalfbandFilter(kGentleHalfband),
                 HalfbandFilter(kGentleHalfband), HalfbandFilter(kSteepHalfband),
                 HalfbandFilter(kSteepHalfband),  HalfbandFilter(kSteepHalfband)} {}

void Oversampler::SetFactor(int factor) {
    if (factor != 1 && factor != 2 && factor != 4 && factor != 8) {
        factor = 1;
    }
    if (factor == factor_) {
        return;
    }
    factor_ = factor;
    for (HalfbandFilter& filter : halfbands_) {
        filter.ClearLanes();
    }
}

bool Oversampler::IsHealthy() const {
    bool healthy = true;
    for (const HalfbandFilter& filter : halfbands_)
        healthy = healthy && filter.StateWithin(kStateLimit);
    for (const HalfDelay& delay : halfDelays_) healthy = healthy && delay.StateWithin(kStateLimit);
    return healthy;
}

void Oversampler::Reset() {
    for (HalfbandFilter& filter : halfbands_) filter.Clear();
    halfDelays_.fill(HalfDelay{});
}

void Oversampler::UpOctave(HalfbandFilter& filter, HalfDelay& delay, const double* in, double* out,
                           int n) {
    for (int start = 0; start < n; start += kChunk) {
        const int m = n - start < kChunk ? n - start : kChunk;
        double pairs[2 * kChunk];
        for (int i = 0; i < m; ++i) {
            pairs[2 * i] = delay.Step(in[start + i]);
            pairs[2 * i + 1] = in[start + i];
        }
        filter.FilterPairs(pairs, out + 2 * start, m);
    }
}

// Each octave takes a whole chunk before the next octave reads it. Every stage is causal, so
// this equals carrying each sample through all octaves before the next, and it lets a stage's
// work on neighbouring samples overlap.
void Oversampler::Upsample(const double* in, double* out, int n) {
    HalfbandFilter& first = halfbands_[0];
    HalfbandFilter& second = halfbands_[1];
    HalfbandFilter& third = halfbands_[2];
    switch (factor_) {
        case 2: UpOctave(first, halfDelays_[0], in, out, n); break;
        case 4:
            for (int start = 0; start < n; start += kChunk) {
                const int m = n - start < kChunk ? n - start : kChunk;
                double x2[2 * kChunk];
                UpOctave(first, halfDelays_[0], in + start, x2, m);
                UpOctave(second, halfDelays_[1], x2, out + 4 * start, 2 * m);
            }
            break;
        case 8:
            for (int start = 0; start < n; start += kChunk) {
                const int m = n - start < kChunk ? n - start : kChunk;
                double x2[2 * kChunk];
                double x4[4 * kChunk];
                UpOctave(first, halfDelays_[0], in + start, x2, m);
                UpOctave(second, halfDelays_[1], x2, x4, 2 * m);
                UpOctave(third, halfDelays_[2], x4, out + 8 * start, 4 * m);
            }
            break;
        default:
            for (int i = 0; i < n; ++i) {
                out[i] = in[i];
            }
            break;
    }
}

void Oversampler::Downsample(const double* in, double* out, int n) {
    Oversampler* const channels[] = {this};
    DownsampleChannels(channels, &in, &out, 1, n);
}

void Oversampler::DownsamplePair(Oversampler& first, const double* in0, double* out0,
                                 Oversampler& second, const double* in1, double* out1, int n) {
    if (first.factor_ != second.factor_) {
        first.Downsample(in0, out0, n);
        second.Downsample(in1, out1, n);
        return;
    }
    Oversampler* const channels[] = {&first, &second};
    const double* const in[] = {in0, in1};
    double* const out[] = {out0, out1};
    DownsampleChannels(channels, in, out, 2, n);
}

// Each octave keeps the first filtered sample of every pair; the second would be discarded, so
// the lanes that make only it are never run. Chunked as Upsample is.
void Oversampler::DownsampleChannels(Oversampler* const* channels, const double* const* in,
                                     double* const* out, int count, int n) {
    // Halfband `index` of every channel over `pairs` pairs, from u[c] into y[c].
    auto octave = [&](int index, const double* const* u, double* const* y, int pairs) {
        if (count == 2) {
            HalfbandFilter::FilterFirstOfPairs(channels[0]->halfbands_[index], u[0], y[0],
                                               channels[1]->halfbands_[index], u[1], y[1], pairs);
        } else {
            channels[0]->halfbands_[index].FilterFirstOfPairs(u[0], y[0], pairs);
        }
    };
    constexpr int kLast = 3, kMiddle = 4, kTop = 5;
    switch (channels[0]->factor_) {
        case 2: octave(kLast, in, out, n); break;
        case 4:
            for (int start = 0; start < n; start += kChunk) {
                const int m = n - start < kChunk ? n - start : kChunk;
                double x2[2][2 * kChunk];
                const double* u[] = {in[0] + 4 * start, in[count - 1] + 4 * start};
                double* const wide[] = {x2[0], x2[1]};
                double* const y[] = {out[0] + start, out[count - 1] + start};
                octave(kMiddle, u, wide, 2 * m);
                octave(kLast, wide, y, m);
            }
            break;
        case 8:
            for (int start = 0; start < n; start += kChunk) {
                const int m = n - start < kChunk ? n - start : kChunk;
                double x4[2][4 * kChunk];
                double x2[2][2 * kChunk];
                const double* u[] = {in[0] + 8 * start, in[count - 1] + 8 * start};
                double* const wider[] = {x4[0], x4[1]};
                double* const wide[] = {x2[0], x2[1]};
                double* const y[] = {out[0] + start, out[count - 1] + start};
                octave(kTop, u, wider, 4 * m);
                octave(kMiddle, wider, wide, 2 * m);
                octave(kLast, wide, y, m);
            }
            break;
        default:
            for (int c = 0; c < count; ++c) {
                for (int i = 0; i < n; ++i) {
                    out[c][i] = in[c][i];
                }
            }
            break;
    }
}
