// A pixel rectangle: left and top inclusive, right and bottom exclusive. The raster layer is the
// lowest graphics layer, so the editor and the text code share this one definition.
#pragma once

#include <cstdint>

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};
