// Base of objects that run one worker thread until they are destroyed.
#pragma once

#include <windows.h>

class VNTThreadLoop {
public:
    VNTThreadLoop() = default;
    // Signals the stop event and waits for the worker to leave run(); must not run on the worker.
    virtual ~VNTThreadLoop();
    VNTThreadLoop(const VNTThreadLoop&) = delete;
    VNTThreadLoop& operator=(const VNTThreadLoop&) = delete;

protected:
    // The worker's body: waits on stopEvent() (alone or with its own events), returns once it is set.
    virtual void run() = 0;

    // Creates the stop event and starts the worker; called by the derived class once it is ready.
    bool startThread();
    // Stops the worker now. A derived class calls it first in its own destructor: by the time the base
    // destructor runs, the derived part (and its run()) is gone.
    void stopThread();

    HANDLE stopEvent() const { return stopEvent_; }
    bool threadRunning() const { return thread_ != nullptr; }

private:
    static unsigned __stdcall threadEntry(void* self);

    HANDLE thread_ = nullptr;
    HANDLE stopEvent_ = nullptr;
};
