// sinh and cosh of the diode argument V / nVt, sampled once from +35 down to about -35 so that
// the clipper's Newton iteration never calls a transcendental function. One shared instance per
// process, built on first use (thread-safe) and read-only afterwards by every clipper stage.
#pragma once

#include <array>

class DiodeTables {
public:
    static constexpr int kCount = 160000;
    static constexpr double kFirstArgument = 35.0;
    static constexpr double kArgumentStep = 4.375e-4;
    // The lookup scale deliberately differs from 1 / kArgumentStep = 2285.714...
    static constexpr double kLookupScale = 2285.7;

    // 320000 transcendental evaluations; prefer Shared() outside tests and benchmarks.
    DiodeTables();

    // The process-wide instance, built by the first caller (about 2.56 MB, never freed).
    static const DiodeTables& Shared();

    const double* Sinh() const { return sinh_.data(); }
    const double* Cosh() const { return cosh_.data(); }

private:
    std::array<double, kCount> sinh_;
    std::array<double, kCount> cosh_;
};
