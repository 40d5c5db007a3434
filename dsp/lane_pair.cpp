#include "dsp/lane_pair.h"

bool HasLaneQuads() {
    // Asked anew each time (only when filters are made): a function-local static's guard
    // would stay behind in the Windows runtime on every unload of the module.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx") != 0;
}
