#include "camera/VNTWebcamSkeoPlus.h"

#include "framework/Trace.h"

using vnt::trace;

namespace {

const DWORD kPollGapMs = 800;
const DWORD kPollAnswerMs = 200;
const DWORD kCommandGapMs = 50;

}  // namespace

VNTWebcamSkeoPlus::VNTWebcamSkeoPlus() {
    trace(L"VNTWebcamSkeoPlus::VNTWebcamSkeoPlus()");
    cameraClassName_ = L"VNTWebcamSkeoPlus";
    modelText_ = "Pello";
}

VNTWebcamSkeoPlus::~VNTWebcamSkeoPlus() {
    // This class's sender body must end before this part of the object goes.
    stopCommandSender();
}

bool VNTWebcamSkeoPlus::setExposure(int value) {
    if (value >= 1 && value <= 15) queueCommand(kExposure, static_cast<BYTE>(value));
    return true;
}

bool VNTWebcamSkeoPlus::sendExposure(BYTE value, HANDLE stopEvent) {
    if (exposureMode_ != 1) {
        sendCommand(kExposure, value);
        return !stopRequested(stopEvent, kCommandGapMs);
    }
    // The camera takes a step only with automatic exposure off; the second round makes sure the
    // camera ends with automatic exposure on again. A stop cuts the sequence short, so that it does
    // not hold up the thread that stops the camera, but never before automatic exposure is on again.
    for (int round = 0; round < 2; ++round) {
        sendCommand(kExposureMode, 0);
        bool stopping = stopRequested(stopEvent, kCommandGapMs);
        if (!stopping) {
            sendCommand(kExposure, value);
            stopping = stopRequested(stopEvent, kPollAnswerMs);
        }
        sendCommand(kExposureMode, 1);
        if (stopping || stopRequested(stopEvent, kCommandGapMs)) {
            if (stopping) trace(L"VNTWebcamSkeoPlus: exposure %u cut short by a stop", static_cast<unsigned>(value));
            return false;
        }
    }
    return true;
}

void VNTWebcamSkeoPlus::runCommandSender(HANDLE stopEvent) {
    int current = queryRegister(kExposureRegister);
    unsigned pass = 0;
    for (;;) {
        if (stopRequested(stopEvent, kPollGapMs)) return;

        HidCommand command{};
        while (takeCommand(command)) {
            if (command.command == kExposure) {
                // Only the last of consecutive steps matters, and only if the camera lacks it.
                HidCommand next{};
                while (takeCommandIf(kExposure, next)) command.value = next.value;
                if (command.value == current) continue;
                current = command.value;
                trace(L"To set EV => %u", static_cast<unsigned>(command.value));
                if (!sendExposure(command.value, stopEvent)) return;
                continue;
            }
            sendQueued(command);
            if (command.command == kExposureMode) exposureMode_ = command.value;
            // What is still queued stays for the next start.
            if (stopRequested(stopEvent, kCommandGapMs)) return;
        }

        if (stopRequested(stopEvent, kPollAnswerMs)) return;
        const int value = queryRegister(kExposureRegister);
        pass = pass % 5 + 1;
        trace(L"%u => varValue = %d, curValue = %d", pass % 5, value, current);
        // -1: no answer; 0: not an exposure step.
        if (value > 0 && value != current) {
            current = value;
            notifyOwner(exposureChangedMessage, value);
        }
    }
}
