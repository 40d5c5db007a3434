// Clamped, linearly interpolated lookup in a table that runs from high arguments to low ones:
// entry i belongs to the argument origin - i / scale. Holds a pointer to a table it does not own;
// const after Configure, so any number of threads may look up through it.
#pragma once

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

    double Lookup(double x) const {
        if (x >= upperClamp_) {
            return table_[0];
        }
        // The negated test also sends NaN here, which would otherwise become an undefined index.
        if (!(x > lowerClamp_)) {
            return table_[count_ - 1];
        }
        const double p = (origin_ - x) * scale_;
        const int i = static_cast<int>(p);
        // Just above the lower clamp p rounds to exactly count - 1, with nothing to its right.
        if (i >= count_ - 1) {
            return table_[count_ - 1];
        }
        const double f = p - i;
        return table_[i] + (table_[i + 1] - table_[i]) * f;
    }

    int Count() const { return count_; }

private:
    const double* table_ = nullptr;
    int count_ = 0;
    double upperClamp_ = 0.0;
    double lowerClamp_ = 0.0;
    double origin_ = 0.0;
    double scale_ = 0.0;
};
