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

// Each octave keeps the first filtered sample of every pair; the second would be discarded, so
// the lanes that make only it are never run. Chunked as Upsample is.
void Oversampler::Downsample(const double* in, double* out, int n) {
    HalfbandFilter& last = halfbands_[3];
    HalfbandFilter& middle = halfbands_[4];
    HalfbandFilter& top = halfbands_[5];
    switch (factor_) {
        case 2: last.FilterFirstOfPairs(in, out, n); break;
        case 4:
            for (int start = 0; start < n; start += kChunk) {
                const int m = n - start < kChunk ? n - start : kChunk;
                double x2[2 * kChunk];
                middle.FilterFirstOfPairs(in + 4 * start, x2, 2 * m);
                last.FilterFirstOfPairs(x2, out + start, m);
            }
            break;
        case 8:
            for (int start = 0; start < n; start += kChunk) {
                const int m = n - start < kChunk ? n - start : kChunk;
                double x4[4 * kChunk];
                double x2[2 * kChunk];
                top.FilterFirstOfPairs(in + 8 * start, x4, 4 * m);
                middle.FilterFirstOfPairs(x4, x2, 2 * m);
                last.FilterFirstOfPairs(x2, out + start, m);
            }
            break;
        default:
            for (int i = 0; i < n; ++i) {
                out[i] = in[i];
            }
            break;
    }
}
