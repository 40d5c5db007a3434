#include "dsp/lane_pair.h"

bool HasLaneQuads() {
    // Asked once: the answer cannot change while the process runs.
    static const bool hasAvx = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx") != 0;
    }();
    return hasAvx;
}
