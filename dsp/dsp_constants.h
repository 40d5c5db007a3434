// Constants every DSP stage shares. Compile-time only.
#pragma once

// 2 pi to the digits the model was specified with.
constexpr double kTwoPi = 6.283185307179586;
