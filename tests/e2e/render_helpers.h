// Signals in and out of a VST 2 effect through its double-precision callback.
#pragma once

#include <algorithm>
#include <vector>

#include "tests/e2e/module_fixture.h"
#include "tests/e2e/signals.h"

// Double-precision processing in blocks of the given size.
inline Stereo Render(const host::HostedEffect& fx, const std::vector<double>& left,
                     const std::vector<double>& right, int block) {
    Stereo out{std::vector<double>(left.size()), std::vector<double>(left.size())};
    for (std::size_t at = 0; at < left.size(); at += block) {
        const int n = static_cast<int>(std::min<std::size_t>(block, left.size() - at));
        double* inputs[] = {const_cast<double*>(left.data()) + at,
                            const_cast<double*>(right.data()) + at};
        double* outputs[] = {out.left.data() + at, out.right.data() + at};
        fx.ProcessDoubleReplacing(inputs, outputs, n);
    }
    return out;
}
