// Two doubles carried side by side, so that two independent filter lanes cost one instruction
// per operation. Every operation acts on each lane alone with ordinary double rounding, so a
// lane's result is bit for bit the one plain double arithmetic gives. Header only, any thread.
#pragma once

#include <cmath>

// GCC and Clang vector extension: +, -, * and / work lane by lane, a double operand applies to
// both lanes, and lanes are read and written with [0] and [1].
using LanePair = double __attribute__((vector_size(2 * sizeof(double))));

// The magnitude of each lane.
inline LanePair Abs(LanePair x) { return LanePair{std::fabs(x[0]), std::fabs(x[1])}; }
