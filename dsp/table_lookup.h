// Clamped, linearly interpolated lookup in a table that runs from high arguments to low ones:
// entry i belongs to the argument origin - i / scale. Holds a pointer to a table it does not own;
// const after Configure, so any number of threads may look up through it.
#pragma once

#include "dsp/lane_pair.h"

class TableLookup {
public:
    void Configure(const double* table, int count, double upperClamp, double lowerClamp,
                   double origin, double scale) {
        table_ = table;
        count_ = count;
        upperClamp_ = upperClamp;
        lowerClamp_ = lowerClamp;
        origin_ = origin;
        scale_ = scale;
    }

    // Where x falls in the table: an entry to return as it is, or one to interpolate from.
    struct Position {
        int index;
        double fraction;  // toward index + 1; unused for an end entry
        bool interpolate;
    };

    Position Locate(double x) const {
        if (x >= upperClamp_) {
            return {0, 0.0, false};
        }
        // The negated test also sends NaN here, which would otherwise become an undefined index.
        if (!(x > lowerClamp_)) {
            return {count_ - 1, 0.0, false};
        }
        const double p = (origin_ - x) * scale_;
        const int i = static_cast<int>(p);
        // Just above the lower clamp p rounds to exactly count - 1, with nothing to its right.
        if (i >= count_ - 1) {
            return {count_ - 1, 0.0, false};
        }
        return {i, p - i, true};
    }

    // The value at a position found by Locate, in this table or in another one laid out the
    // same way, so that tables sampled at the same arguments share one Locate.
    static double At(const double* table, const Position& at) {
        if (!at.interpolate) {
            return table[at.index];
        }
        return table[at.index] + (table[at.index + 1] - table[at.index]) * at.fraction;
    }

    double Lookup(double x) const { return At(table_, Locate(x)); }

    // Each lane looked up on its own.
    LanePair Lookup(LanePair x) const { return LanePair{Lookup(x[0]), Lookup(x[1])}; }

    int Count() const { return count_; }

private:
    const double* table_ = nullptr;
    int count_ = 0;
    double upperClamp_ = 0.0;
    double lowerClamp_ = 0.0;
    double origin_ = 0.0;
    double scale_ = 0.0;
};
