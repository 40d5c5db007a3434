// The recorded fingerprints of the golden renders (golden_render_test.cpp), one table per
// platform: the C libraries' sinh, cosh and tan differ in the last bit here and there, and the
// diode tables and filter corners with them.
#pragma once

#include <cstdint>

struct GoldenRender {
    const char* name;
    std::uint64_t hash;
    // The format whose own render this is, where it cannot carry what the others carry (LV2's
    // ports hold floats, control values and samples alike); null for every other format.
    const char* format = nullptr;
};

// Terminated by an entry with a null name.
extern const GoldenRender kGoldenRenders[];
