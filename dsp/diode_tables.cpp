#include "dsp/diode_tables.h"

#include <cmath>

DiodeTables::DiodeTables() {
    // Stepped by repeated subtraction, not first - i * step: each entry's argument carries the
    // accumulated rounding, and the model's output depends on these entries bit for bit.
    double a = kFirstArgument;
    for (int i = 0; i < kCount; ++i) {
        sinh_[i] = std::sinh(a);
        cosh_[i] = std::cosh(a);
        a = a - kArgumentStep;
    }
}

const DiodeTables& DiodeTables::Shared() {
    // Static storage rather than one copy per engine: identical numbers for every instance,
    // and a host with many instances is spared megabytes and start-up time per engine.
    static const DiodeTables tables;
    return tables;
}
