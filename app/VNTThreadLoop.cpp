#include "app/VNTThreadLoop.h"

#include "framework/Trace.h"

VNTThreadLoop::~VNTThreadLoop() { stopThread(); }

bool VNTThreadLoop::startThread() {
    if (worker_.start(&VNTThreadLoop::threadBody, this)) return true;
    vnt::trace(L"VNTThreadLoop: cannot start a worker (error %lu)", GetLastError());
    return false;
}

void VNTThreadLoop::stopThread() {
    if (!worker_.stop()) vnt::trace(L"VNTThreadLoop: waiting for the worker failed; it was waited for plainly");
}

void VNTThreadLoop::threadBody(void* self, HANDLE) { static_cast<VNTThreadLoop*>(self)->run(); }
