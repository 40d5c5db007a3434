// The signals that end orv-q12 (SIGINT, SIGTERM, SIGHUP), taken as events of the main loop: they
// are blocked in every thread and arrive on a descriptor instead, so no handler runs at all.
// Block must come before any thread is started (JACK's), which inherit the blocked set.
#pragma once

class ExitSignals {
public:
    // Blocks the signals and opens the descriptor; false when the system refuses. SIGPIPE is
    // ignored, so that a display or server going away reaches the program as an error instead.
    bool Block();
    ~ExitSignals();

    // Readable once a signal is pending.
    int Descriptor() const { return fd_; }
    // The pending signal's number, taken; 0 when none is pending.
    int Take();

private:
    int fd_ = -1;
};
