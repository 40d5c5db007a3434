#include "dsp/oversampler.h"

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

// Each input sample is carried through every octave before the next is read.
void Oversampler::Upsample(const double* in, double* out, int n) {
    HalfbandFilter& first = halfbands_[0];
    HalfbandFilter& second = halfbands_[1];
    HalfbandFilter& third = halfbands_[2];
    switch (factor_) {
        case 2:
            for (int i = 0; i < n; ++i) {
                UpOctave(first, halfDelays_[0], in[i], out[2 * i], out[2 * i + 1]);
            }
            break;
        case 4:
            for (int i = 0; i < n; ++i) {
                double x2[2];
                UpOctave(first, halfDelays_[0], in[i], x2[0], x2[1]);
                double* x4 = out + 4 * i;
                UpOctave(second, halfDelays_[1], x2[0], x4[0], x4[1]);
                UpOctave(second, halfDelays_[1], x2[1], x4[2], x4[3]);
            }
            break;
        case 8:
            for (int i = 0; i < n; ++i) {
                double x2[2];
                double x4[4];
                UpOctave(first, halfDelays_[0], in[i], x2[0], x2[1]);
                UpOctave(second, halfDelays_[1], x2[0], x4[0], x4[1]);
                UpOctave(second, halfDelays_[1], x2[1], x4[2], x4[3]);
                double* x8 = out + 8 * i;
                for (int k = 0; k < 4; ++k) {
                    UpOctave(third, halfDelays_[2], x4[k], x8[2 * k], x8[2 * k + 1]);
                }
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
// the lanes that make only it are never run.
void Oversampler::Downsample(const double* in, double* out, int n) {
    HalfbandFilter& last = halfbands_[3];
    HalfbandFilter& middle = halfbands_[4];
    HalfbandFilter& top = halfbands_[5];
    switch (factor_) {
        case 2:
            for (int i = 0; i < n; ++i) {
                out[i] = last.FilterPairFirst(in[2 * i], in[2 * i + 1]);
            }
            break;
        case 4:
            for (int i = 0; i < n; ++i) {
                const double* x4 = in + 4 * i;
                const double r0 = middle.FilterPairFirst(x4[0], x4[1]);
                const double r1 = middle.FilterPairFirst(x4[2], x4[3]);
                out[i] = last.FilterPairFirst(r0, r1);
            }
            break;
        case 8:
            for (int i = 0; i < n; ++i) {
                const double* x8 = in + 8 * i;
                double x4[4];
                for (int k = 0; k < 4; ++k) {
                    x4[k] = top.FilterPairFirst(x8[2 * k], x8[2 * k + 1]);
                }
                const double r0 = middle.FilterPairFirst(x4[0], x4[1]);
                const double r1 = middle.FilterPairFirst(x4[2], x4[3]);
                out[i] = last.FilterPairFirst(r0, r1);
            }
            break;
        default:
            for (int i = 0; i < n; ++i) {
                out[i] = in[i];
            }
            break;
    }
}
