#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include "standalone/exit_signals.h"

bool ExitSignals::Block() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    if (sigprocmask(SIG_BLOCK, &set, nullptr) != 0) return false;
    signal(SIGPIPE, SIG_IGN);
    fd_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    return fd_ >= 0;
}

ExitSignals::~ExitSignals() {
    if (fd_ >= 0) close(fd_);
}

int ExitSignals::Take() {
    signalfd_siginfo info{};
    if (fd_ < 0 || read(fd_, &info, sizeof(info)) != static_cast<ssize_t>(sizeof(info))) return 0;
    return static_cast<int>(info.ssi_signo);
}
