// Base of objects that run one worker thread until they are destroyed.
#pragma once

#include <windows.h>

#include "framework/WorkerThread.h"

class VNTThreadLoop {
public:
    VNTThreadLoop() = default;
    // Stops the worker as stopThread does; must not run on the worker.
    virtual ~VNTThreadLoop();
    VNTThreadLoop(const VNTThreadLoop&) = delete;
    VNTThreadLoop& operator=(const VNTThreadLoop&) = delete;

protected:
    // The worker's body: waits on stopEvent() (alone or with its own events), returns once it is set.
    virtual void run() = 0;

    // Creates the stop event and starts the worker; called by the derived class once it is ready.
    // True also when the worker runs already.
    bool startThread();
    // Sets the stop event and waits for the worker, answering the messages sent to this thread
    // meanwhile: a worker may be blocked sending one to it. A derived class calls it first in its own
    // destructor: by the time the base destructor runs, the derived part (and its run()) is gone.
    void stopThread();

    // Valid while the worker runs.
    HANDLE stopEvent() const { return worker_.stopEvent(); }
    bool threadRunning() const { return worker_.running(); }

private:
    static void threadBody(void* self, HANDLE stopEvent);

    vnt::WorkerThread worker_;
};
