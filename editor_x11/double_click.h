// DoubleClick: tells a double-click from two presses of the left button, as Windows does for a
// window whose class asks for double-clicks: a second press within 400 ms and two pixels each
// way of the first is a double-click, and the press after a double-click starts afresh. Times
// are the X server's milliseconds, which wrap around.
#pragma once

#include <cstdint>
#include <cstdlib>

class DoubleClick {
public:
    static constexpr uint32_t kTimeMs = 400;
    static constexpr int kSlop = 2;

    // A left-button press: true when it completes a double-click.
    bool Press(uint32_t time, int x, int y) {
        const bool second = armed_ && time - time_ < kTimeMs && std::abs(x - x_) <= kSlop &&
                            std::abs(y - y_) <= kSlop;
        armed_ = !second;
        time_ = time;
        x_ = x;
        y_ = y;
        return second;
    }
    // Another button went down in between.
    void Reset() { armed_ = false; }

private:
    bool armed_ = false;
    uint32_t time_ = 0;
    int x_ = 0;
    int y_ = 0;
};
