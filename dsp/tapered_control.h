// A knob value as the circuit stages see it: the raw 0..1 position, optionally bent by the
// audio (log-like) taper, plus a flag telling the owner to recompute the stage it drives.
// Owned by one ChannelEngine and used on whichever thread holds the plug-in lock.
#pragma once

#include <cmath>

class TaperedControl {
public:
    void SelectAudioTaper(bool audioTaper) { audioTaper_ = audioTaper; }

    void Set(double x) {
        target_ = x;
        double newValue = x;
        if (audioTaper_) {
            if (x < 0.0) {
                x = 0.0;
            } else if (x > 1.0) {
                x = 1.0;
            }
            // Maps 0 -> 0, 0.5 -> 0.095, 1 -> 1, like a 10 % audio-taper potentiometer.
            newValue = x / (9.526315791 - 8.526315791 * x);
        }
        if (std::fabs(newValue - value_) > 1e-9) {
            changed_ = true;
        }
        value_ = newValue;
    }

    double Value() const { return value_; }
    double Target() const { return target_; }
    bool Changed() const { return changed_; }
    void ClearChanged() { changed_ = false; }

private:
    double value_ = 0.5;
    double target_ = 0.5;
    bool changed_ = true;
    bool audioTaper_ = false;
};
