// A slim reader/writer lock usable with std::lock_guard; unlike std::mutex it cannot throw, so it
// may be taken inside COM methods.
#pragma once

#include <windows.h>

namespace dshow {

class SrwLock {
public:
    SrwLock() noexcept { InitializeSRWLock(&lock_); }
    SrwLock(const SrwLock&) = delete;
    SrwLock& operator=(const SrwLock&) = delete;

    void lock() noexcept { AcquireSRWLockExclusive(&lock_); }
    void unlock() noexcept { ReleaseSRWLockExclusive(&lock_); }

private:
    SRWLOCK lock_;
};

}  // namespace dshow
