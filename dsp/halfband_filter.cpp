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
