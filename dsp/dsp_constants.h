// Constants every DSP stage shares. Compile-time only.
#pragma once

// 2 pi, written out: every coefficient of the model is computed with exactly this value.
constexpr double kTwoPi = 6.283185307179586;

// No signal leaves a filter state (volts or amperes) anywhere near this, by many orders of
// magnitude. A state beyond it was left by a number that was no signal (1e300, say): decaying
// from there would pin the circuit at its rails for seconds, if it ever came back.
constexpr double kStateLimit = 1e9;
