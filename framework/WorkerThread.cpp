#include "framework/WorkerThread.h"

#include "framework/MessageWait.h"

#include <process.h>

namespace vnt {

bool WorkerThread::start(Body body, void* context) {
    if (thread_) return true;
    stopEvent_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!stopEvent_) return false;
    body_ = body;
    context_ = context;
    const uintptr_t handle = _beginthreadex(nullptr, 0, &WorkerThread::entry, this, 0, nullptr);
    if (handle == 0) {
        stopEvent_.reset();
        return false;
    }
    thread_.reset(reinterpret_cast<HANDLE>(handle));
    return true;
}

bool WorkerThread::stop() {
    if (!thread_) return true;
    SetEvent(stopEvent_.get());
    const bool waited = waitAnsweringSentMessages(thread_.get());
    thread_.reset();
    stopEvent_.reset();
    return waited;
}

bool WorkerThread::join() {
    if (!thread_) return true;
    const bool waited = WaitForSingleObject(thread_.get(), INFINITE) == WAIT_OBJECT_0;
    thread_.reset();
    stopEvent_.reset();
    return waited;
}

unsigned __stdcall WorkerThread::entry(void* self) {
    const WorkerThread* worker = static_cast<const WorkerThread*>(self);
    worker->body_(worker->context_, worker->stopEvent_.get());
    return 0;
}

}  // namespace vnt
