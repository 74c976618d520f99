#include "ui/PhotoTurner.h"

#include <objbase.h>

#include <algorithm>

#include "framework/Trace.h"
#include "library/PhotoWriter.h"

namespace skeo {

PhotoTurner::PhotoTurner()
    : workEvent_(CreateEventW(nullptr, FALSE, FALSE, nullptr)), idleEvent_(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {
    InitializeCriticalSection(&lock_);
}

PhotoTurner::~PhotoTurner() {
    worker_.stop();  // the worker turns what is queued before it returns
    drain();         // anything queued without a worker
    DeleteCriticalSection(&lock_);
}

void PhotoTurner::Turn(const std::wstring& path, Gdiplus::RotateFlipType rotation) {
    {
        vnt::CriticalSectionLock hold(lock_);
        queue_.push_back({path, rotation});
        if (idleEvent_) ResetEvent(idleEvent_.get());
    }
    if (!workEvent_ || !idleEvent_ || (!worker_.running() && !worker_.start(&PhotoTurner::workerBody, this))) {
        vnt::trace(L"PhotoTurner: no worker thread; %ls is turned at once", path.c_str());
        drain();
        return;
    }
    SetEvent(workEvent_.get());
}

void PhotoTurner::WaitIdle() {
    if (!idleEvent_ || !worker_.running()) {
        drain();
        return;
    }
    WaitForSingleObject(idleEvent_.get(), INFINITE);
}

bool PhotoTurner::Busy() { return idleEvent_ && WaitForSingleObject(idleEvent_.get(), 0) != WAIT_OBJECT_0; }

bool PhotoTurner::Pending(const std::wstring& path) {
    vnt::CriticalSectionLock hold(lock_);
    return inHand_ == path ||
           std::any_of(queue_.begin(), queue_.end(), [&](const Job& job) { return job.path == path; });
}

std::vector<std::pair<std::wstring, bool>> PhotoTurner::TakeFinished() {
    vnt::CriticalSectionLock hold(lock_);
    std::vector<std::pair<std::wstring, bool>> done;
    done.swap(finished_);
    return done;
}

void PhotoTurner::workerBody(void* self, HANDLE stopEvent) { static_cast<PhotoTurner*>(self)->run(stopEvent); }

void PhotoTurner::run(HANDLE stopEvent) {
    // The platform's encoders may be COM objects.
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    const HANDLE events[] = {stopEvent, workEvent_.get()};
    for (;;) {
        const DWORD woke = WaitForMultipleObjects(2, events, FALSE, INFINITE);
        drain();
        if (woke != WAIT_OBJECT_0 + 1) break;
    }
    if (com) CoUninitialize();
}

void PhotoTurner::drain() {
    for (;;) {
        Job job;
        {
            vnt::CriticalSectionLock hold(lock_);
            if (queue_.empty()) {
                if (idleEvent_) SetEvent(idleEvent_.get());
                return;
            }
            job = queue_.front();
            queue_.erase(queue_.begin());
            inHand_ = job.path;
        }
        const bool turned = RotatePhotoFile(job.path.c_str(), job.rotation);
        if (!turned) vnt::trace(L"PhotoTurner: cannot turn %ls", job.path.c_str());
        finish(job.path, turned);
    }
}

void PhotoTurner::finish(const std::wstring& path, bool turned) {
    {
        vnt::CriticalSectionLock hold(lock_);
        inHand_.clear();
        finished_.emplace_back(path, turned);
    }
    if (notifyWindow_) PostMessageW(notifyWindow_, notifyMessage_, 0, 0);
}

}  // namespace skeo
