// Constants every DSP stage shares. Compile-time only.
#pragma once

// 2 pi, written out: every coefficient of the model is computed with exactly this value.
constexpr double kTwoPi = 6.283185307179586;
