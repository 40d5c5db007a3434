// The re-entrant lock of one plug-in object (and of the process-wide entry lock). The owning
// thread may take it again while it holds it. Backed by a critical section on Windows and a
// recursive mutex elsewhere; the storage lives inside the object, so creating one allocates
// nothing.
#pragma once

class PluginLock {
public:
    PluginLock();
    ~PluginLock();
    PluginLock(const PluginLock&) = delete;
    PluginLock& operator=(const PluginLock&) = delete;

    void Enter();
    void Leave();

private:
    alignas(16) unsigned char storage_[64];
};

// Holds a PluginLock for the lifetime of a scope.
class LockGuard {
public:
    explicit LockGuard(PluginLock& lock) : lock_(lock) { lock_.Enter(); }
    ~LockGuard() { lock_.Leave(); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    PluginLock& lock_;
};
