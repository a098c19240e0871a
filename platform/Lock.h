#pragma once
// A plain mutual-exclusion lock. The DLL is built with the win32 thread model, which
// has no std::mutex, so Windows gets a slim reader/writer lock held exclusively.

#if !defined(_WIN32)
#include <mutex>
#endif

namespace platform {

class Lock {
public:
    Lock() = default;
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    void lock();
    void unlock();

private:
#if defined(_WIN32)
    void* srw_ = nullptr; // SRWLOCK: one pointer, all-zero when unlocked
#else
    std::mutex mutex_;
#endif
};

class LockGuard {
public:
    explicit LockGuard(Lock& lock) : lock_(lock) { lock_.lock(); }
    ~LockGuard() { lock_.unlock(); }
    LockGuard(const LockGuard&) = delete;
    LockGuard& operator=(const LockGuard&) = delete;

private:
    Lock& lock_;
};

} // namespace platform
