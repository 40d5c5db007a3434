// The op-amp's transfer curve near its supply rails, as a constant table shared by every drive
// stage. Read-only and computed at compile time, so any thread may read it at any time.
#pragma once

constexpr int kRailTableCount = 801;

// Op-amp output in volts (bias removed) for the ideal output 4 - i / 100 volts, i = 0 .. 800:
// unit slope with a small offset between -3.48 V and +3.48 V, flat at the rails beyond.
const double* RailTable();
