// Photo files turned on a worker thread, one after another in the order asked: decoding, turning,
// encoding and writing a photo holds no window. A turn once asked for is always carried out, also
// when the program closes meanwhile.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/Gdiplus.h"
#include "framework/Handles.h"
#include "framework/WorkerThread.h"

namespace skeo {

class PhotoTurner {
public:
    PhotoTurner();
    // Carries out every turn still queued, then stops the worker.
    ~PhotoTurner();
    PhotoTurner(const PhotoTurner&) = delete;
    PhotoTurner& operator=(const PhotoTurner&) = delete;

    // `message` is posted to `window` after each turn is done.
    void SetNotify(HWND window, UINT message) {
        notifyWindow_ = window;
        notifyMessage_ = message;
    }

    // Queues turning the photo file; done on the calling thread when no worker can be started.
    void Turn(const std::wstring& path, Gdiplus::RotateFlipType rotation);

    // Returns once every queued turn is done: before a photo is deleted, as a turn in hand would
    // write it back.
    void WaitIdle();
    bool Busy();
    // Whether a turn of this photo is still queued or in hand.
    bool Pending(const std::wstring& path);

    // The photos turned since the last call, each with whether its turn succeeded, in order.
    std::vector<std::pair<std::wstring, bool>> TakeFinished();

private:
    struct Job {
        std::wstring path;
        Gdiplus::RotateFlipType rotation;
    };
    static void workerBody(void* self, HANDLE stopEvent);
    void run(HANDLE stopEvent);
    // Turns queued photos until none is left.
    void drain();
    void finish(const std::wstring& path, bool turned);

    CRITICAL_SECTION lock_;
    vnt::KernelHandle workEvent_;  // auto-reset: a job was queued
    vnt::KernelHandle idleEvent_;  // manual-reset: set while nothing is queued or in hand
    std::vector<Job> queue_;
    std::wstring inHand_;
    std::vector<std::pair<std::wstring, bool>> finished_;
    HWND notifyWindow_ = nullptr;
    UINT notifyMessage_ = 0;
    vnt::WorkerThread worker_;
};

}  // namespace skeo
