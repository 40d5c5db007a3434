// An allocator for tests that fails on request. The test program is linked with the linker's
// --wrap for malloc, calloc, realloc, free and the scalar operator new and delete, so every
// allocation of the project's own code passes through here and then on to the real allocator
// (a sanitizer's included). While armed it counts those allocations, fails the one numbered
// `failAt` (a throwing operator new throws, as the real one would), and moves every block it
// reallocates to an address not used before Disarm, so a pointer kept into an old block is
// left stale every time. One thread.
#pragma once

namespace failing_allocator {

// Starts counting from 0; allocation number failAt (from 1) fails, none when failAt is 0.
void Arm(long failAt);
// Stops counting; returns the number of allocations made while armed.
long Disarm();
// Blocks allocated minus blocks released while armed.
long Live();

}  // namespace failing_allocator
