#include "dsp/halfband_filter.h"

const HalfbandCoefficients kSteepHalfband = {
    {0.036681502163648017, 0.2746317593794541, 0.5610989697879195, 0.769741833862266,
     0.8922608180038789, 0.962094548378084},
    {0.13654762463195771, 0.42313861743656667, 0.6775400499741616, 0.839889624849638,
     0.9315419599631839, 0.9878163707328971},
};

const HalfbandCoefficients kGentleHalfband = {
    {0.01677466677723562, 0.13902148819717805, 0.3325011117394731, 0.53766105314488,
     0.7214184024215805, 0.8821858402078155},
    {0.06501319274445962, 0.23094129990840923, 0.4364942348420355, 0.6329609551399348,
     0.8037808679411123, 0.9599687404800694},
};

void HalfbandFilter::FilterPairs(const double* u, double* y, int pairs) {
    if (useLaneQuads_) {
        FilterPairsInLaneQuads(u, y, pairs);
        return;
    }
    for (int start = 0; start < pairs; start += kChunk) {
        const int m = pairs - start < kChunk ? pairs - start : kChunk;
        const double* in = u + 2 * start;
        double* out = y + 2 * start;
        LanePair even[kChunk];
        LanePair odd[kChunk];
        for (int k = 0; k < m; ++k) {
            // Cascade A takes (u0, u1), cascade B the pair (delay slot, u0).
            even[k] = LanePair{in[2 * k], delaySlot_};
            odd[k] = LanePair{in[2 * k + 1], in[2 * k]};
            delaySlot_ = in[2 * k + 1];
        }
        even_.ProcessBlock(even, m);
        odd_.ProcessBlock(odd, m);
        for (int k = 0; k < m; ++k) {
            out[2 * k] = (even[k][0] + even[k][1]) * 0.5;
            out[2 * k + 1] = (odd[k][0] + odd[k][1]) * 0.5;
        }
    }
}

void HalfbandFilter::FilterFirstOfPairs(const double* u, double* y, int pairs) {
    for (int start = 0; start < pairs; start += kChunk) {
        const int m = pairs - start < kChunk ? pairs - start : kChunk;
        const double* in = u + 2 * start;
        LanePair even[kChunk];
        for (int k = 0; k < m; ++k) {
            even[k] = LanePair{in[2 * k], delaySlot_};
            delaySlot_ = in[2 * k + 1];
        }
        even_.ProcessBlock(even, m);
        for (int k = 0; k < m; ++k) {
            y[start + k] = (even[k][0] + even[k][1]) * 0.5;
        }
    }
}

void HalfbandFilter::FilterFirstOfPairs(HalfbandFilter& first, const double* u0, double* y0,
                                        HalfbandFilter& second, const double* u1, double* y1,
                                        int pairs) {
    if (first.useLaneQuads_ && second.useLaneQuads_) {
        FilterFirstOfPairsInLaneQuads(first, u0, y0, second, u1, y1, pairs);
        return;
    }
    first.FilterFirstOfPairs(u0, y0, pairs);
    second.FilterFirstOfPairs(u1, y1, pairs);
}

namespace {

constexpr int kSections = AllpassCascade::kSections;

// Two cascades' lanes, the first's in lanes 0 and 1, the second's in lanes 2 and 3: their
// coefficients and working copies of their states.
struct QuadCascade {
    LaneQuad coefficients[kSections];
    LaneQuad previousInput[kSections];
    LaneQuad previousOutput[kSections];
};

__attribute__((target("avx"))) void Load(QuadCascade& quad, const AllpassCascade& first,
                                         const AllpassCascade& second) {
    LanePair firstInput[kSections], firstOutput[kSections];
    LanePair secondInput[kSections], secondOutput[kSections];
    first.ExportStates(firstInput, firstOutput);
    second.ExportStates(secondInput, secondOutput);
    const LanePair* firstCoefficients = first.SectionCoefficients();
    const LanePair* secondCoefficients = second.SectionCoefficients();
    for (int i = 0; i < kSections; ++i) {
        const LanePair& a = firstCoefficients[i];
        const LanePair& b = secondCoefficients[i];
        quad.coefficients[i] = LaneQuad{a[0], a[1], b[0], b[1]};
        quad.previousInput[i] =
            LaneQuad{firstInput[i][0], firstInput[i][1], secondInput[i][0], secondInput[i][1]};
        quad.previousOutput[i] =
            LaneQuad{firstOutput[i][0], firstOutput[i][1], secondOutput[i][0], secondOutput[i][1]};
    }
}

__attribute__((target("avx"))) void Store(const QuadCascade& quad, AllpassCascade& first,
                                          AllpassCascade& second) {
    LanePair firstInput[kSections], firstOutput[kSections];
    LanePair secondInput[kSections], secondOutput[kSections];
    for (int i = 0; i < kSections; ++i) {
        firstInput[i] = LanePair{quad.previousInput[i][0], quad.previousInput[i][1]};
        secondInput[i] = LanePair{quad.previousInput[i][2], quad.previousInput[i][3]};
        firstOutput[i] = LanePair{quad.previousOutput[i][0], quad.previousOutput[i][1]};
        secondOutput[i] = LanePair{quad.previousOutput[i][2], quad.previousOutput[i][3]};
    }
    first.ImportStates(firstInput, firstOutput);
    second.ImportStates(secondInput, secondOutput);
}

// Clears the upper halves of the vector registers before code compiled for 128-bit vectors runs
// again, which would otherwise wait on them: the compiler does not always do this itself.
__attribute__((target("avx"))) inline void LeaveLaneQuads() { __builtin_ia32_vzeroupper(); }

}  // namespace

// The functions below do the arithmetic of FilterPairs and FilterFirstOfPairs, lane for lane;
// they are compiled for AVX and called only where the processor has it.

__attribute__((target("avx"))) void HalfbandFilter::FilterPairsInLaneQuads(const double* u,
                                                                           double* y, int pairs) {
    QuadCascade quad;
    Load(quad, even_, odd_);
    for (int start = 0; start < pairs; start += kChunk) {
        const int m = pairs - start < kChunk ? pairs - start : kChunk;
        const double* in = u + 2 * start;
        double* out = y + 2 * start;
        LaneQuad both[kChunk];
        for (int k = 0; k < m; ++k) {
            both[k] = LaneQuad{in[2 * k], delaySlot_, in[2 * k + 1], in[2 * k]};
            delaySlot_ = in[2 * k + 1];
        }
        AllpassCascade::RunSections(quad.coefficients, quad.previousInput, quad.previousOutput,
                                    both, m);
        for (int k = 0; k < m; ++k) {
            out[2 * k] = (both[k][0] + both[k][1]) * 0.5;
            out[2 * k + 1] = (both[k][2] + both[k][3]) * 0.5;
        }
    }
    Store(quad, even_, odd_);
    LeaveLaneQuads();
}

__attribute__((target("avx"))) void HalfbandFilter::FilterFirstOfPairsInLaneQuads(
    HalfbandFilter& first, const double* u0, double* y0, HalfbandFilter& second, const double* u1,
    double* y1, int pairs) {
    QuadCascade quad;
    Load(quad, first.even_, second.even_);
    for (int start = 0; start < pairs; start += kChunk) {
        const int m = pairs - start < kChunk ? pairs - start : kChunk;
        const double* in0 = u0 + 2 * start;
        const double* in1 = u1 + 2 * start;
        LaneQuad both[kChunk];
        for (int k = 0; k < m; ++k) {
            both[k] = LaneQuad{in0[2 * k], first.delaySlot_, in1[2 * k], second.delaySlot_};
            first.delaySlot_ = in0[2 * k + 1];
            second.delaySlot_ = in1[2 * k + 1];
        }
        AllpassCascade::RunSections(quad.coefficients, quad.previousInput, quad.previousOutput,
                                    both, m);
        for (int k = 0; k < m; ++k) {
            y0[start + k] = (both[k][0] + both[k][1]) * 0.5;
            y1[start + k] = (both[k][2] + both[k][3]) * 0.5;
        }
    }
    Store(quad, first.even_, second.even_);
    LeaveLaneQuads();
}
