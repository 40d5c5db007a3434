// Two doubles carried side by side, so that two independent filter lanes cost one instruction
// per operation. Every operation acts on each lane alone with ordinary double rounding, so a
// lane's result is bit for bit the one plain double arithmetic gives. Header only, any thread.
#pragma once

#include <cmath>

// GCC and Clang vector extension: +, -, * and / work lane by lane, a double operand applies to
// both lanes, and lanes are read and written with [0] and [1].
using LanePair = double __attribute__((vector_size(2 * sizeof(double))));

// Four doubles side by side: two LanePairs in one vector, for code compiled for processors with
// 256-bit vectors (AVX) and run only where the processor has them. Passed by pointer or
// reference only: by value, its calling convention would depend on how the caller was compiled.
using LaneQuad = double __attribute__((vector_size(4 * sizeof(double))));

// True where the processor and the operating system support 256-bit vectors (AVX).
bool HasLaneQuads();

// The magnitude of each lane.
inline LanePair Abs(LanePair x) { return LanePair{std::fabs(x[0]), std::fabs(x[1])}; }
