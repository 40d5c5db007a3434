// The memoryless rational waveshaper after the diode clipper. Pure function, any thread.
// Sample is double, or LanePair for two channels at once.
#pragma once

// Volts in, volts out. Maps 0 to -0.0537 V: the offset the 16 Hz output high-pass removes.
template <typename Sample>
Sample StaticShaper(Sample a) {
    const Sample denominator = ((0.3666 * a * a - 6.842) - 2.321 * a) - 1.566 * a * a * a;
    return a / denominator + a - 0.0537;
}
