// A worker thread that runs until its stop event is set.
#pragma once

#include "framework/Handles.h"

#include <windows.h>

namespace vnt {

class WorkerThread {
public:
    // Runs on the worker; returns once stopEvent is set (or earlier, of its own accord).
    using Body = void (*)(void* context, HANDLE stopEvent);

    WorkerThread() = default;
    ~WorkerThread() { stop(); }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // True when the worker runs, also when it ran already.
    bool start(Body body, void* context);
    // Sets the stop event and waits for the worker, answering the messages sent to the calling
    // thread meanwhile: the worker may be blocked sending one. False when that wait failed.
    bool stop();
    // Waits for a worker that ends of its own accord and sends no message, without answering any
    // meanwhile: the caller may be half-way through setting itself up. False when that wait failed.
    bool join();
    bool running() const { return thread_.valid(); }
    // The event stop() sets; null while no worker runs.
    HANDLE stopEvent() const { return stopEvent_.get(); }

private:
    static unsigned __stdcall entry(void* self);

    Body body_ = nullptr;
    void* context_ = nullptr;
    KernelHandle thread_;
    KernelHandle stopEvent_;
};

}  // namespace vnt
