// The maker's model A: a camera with a HID interface beside its video. The camera's buttons arrive as
// input reports and become registered messages to the owner window (with focus pictures and sounds);
// commands (exposure, refocus, register queries) go to the camera as output reports from a sender
// thread of the camera's own.
#pragma once

#include "app/VNTThreadLoop.h"
#include "camera/HidDeviceAccess.h"
#include "camera/VNTWebcam.h"
#include "framework/Handles.h"

#include <windows.h>

#include <cstddef>
#include <deque>
#include <string>

// The worker thread is the command sender.
class VNTWebcamSkeo : public VNTWebcam, public VNTThreadLoop {
public:
    // Registered window messages, sent to the owner window with wParam the video window.
    static const UINT snapshotKeyMessage;      // lParam 1
    static const UINT focusKeyMessage;         // lParam: 1 focusing started, 2 finished
    static const UINT focusModeMessage;        // lParam: the mode
    static const UINT exposureChangedMessage;  // lParam: the camera's new exposure (model B)

    // Output report commands.
    enum : BYTE { kQueryRegister = 0, kExposureMode = 5, kExposure = 6, kFocusAgain = 79 };
    // The camera's focus mode register (0: single autofocus).
    static constexpr BYTE kFocusModeRegister = 3;
    // Timers on the object's window.
    enum : UINT_PTR { kFocusPictureTimer = 1001, kHidRetryTimer = 1002 };

    VNTWebcamSkeo();
    ~VNTWebcamSkeo() override;

    void onNotification(void* data, const std::wstring& name) override;
    int onTimer(UINT_PTR timerId) override;
    // Also looks for the HID interface, and keeps looking every second until it is found.
    bool initWithDevice(const std::wstring& devicePath, const std::wstring& friendlyName) override;
    // Observes this camera's report notifications.
    bool startReportHandling() override;
    // Reads the buttons once the graph is built.
    bool build(int width, int height, const GUID* subtype) override;
    // Runs the graph and starts the command sender.
    bool start() override;
    // Stops reading the buttons and the sender, then destroys the graph; always false.
    bool stop() override;
    bool videoProcAmpRange(ULONG id, LONG* minimum, LONG* maximum) override;
    bool cameraControlRange(ULONG id, LONG* minimum, LONG* maximum) override;

    // Queues an exposure step; out-of-range steps are ignored. Always true.
    virtual bool setExposure(int value);
    // Decodes one input report {id, event, value}; bytes past length count as 0.
    virtual void processHidReport(const BYTE* report, size_t length);

    // Queues a refocus; quiet: the focus cycle it starts shows and plays nothing. Always true.
    bool focusAgain(bool quiet);
    // Queues an output report for the sender; the owner queues the exposure mode this way. Queued
    // commands wait for the HID interface, however late it is found.
    void queueCommand(BYTE command, BYTE value);
    // Has the sender read the focus mode and tell the owner as a focus mode report does.
    void queryFocusMode();
    size_t queuedCommandCount() const;
    // Sends one output report now, retrying once. Any thread; blocks while the device is busy.
    bool sendCommand(BYTE command, BYTE value);
    // The value of a camera register; -1 when the camera does not answer. Any thread: the device is
    // held from the question to its answer.
    int queryRegister(BYTE reg);
    // The model's image-control defaults; true if any of them was taken.
    bool setImageControlDefaults();

    // Finds, opens and measures the HID interface of this camera (user-interface thread).
    bool discoverHid();
    // Derives the HID interface path from the video interface's path and the USB enumeration key.
    bool FindHidInterface();
    // Has the HID report reader read this camera's HID interface; false without a HID interface.
    bool registerHidReports();
    bool startCommandSender();
    void stopCommandSender();
    bool commandSenderRunning() const { return threadRunning(); }

    bool hidFound() const;
    std::wstring hidPath() const;
    HIDP_CAPS hidCapabilities() const;
    const std::wstring& notificationName() const { return notificationName_; }

    // The focus picture over the live picture (0 when none); drawn when a graph is running.
    UINT focusPicture() const { return focusPicture_; }
    bool focusing() const { return focusing_ != 0; }
    bool quietFocus() const { return quietFocus_ != 0; }
    void setQuietFocus(bool quiet) { quietFocus_ = quiet ? 1 : 0; }
    bool focusSoundsOff() const { return focusSoundsOff_ != 0; }
    void setFocusSoundsOff(bool off) { focusSoundsOff_ = off ? 1 : 0; }

protected:
    struct HidCommand {
        BYTE command;
        BYTE value;
    };

    // The sender's body: drains the queue until stopEvent is set.
    virtual void runCommandSender(HANDLE stopEvent);
    // Sends a queued command, or asks the register it names and tells the owner the answer.
    void sendQueued(const HidCommand& command);

    // Takes the oldest queued command; false when the queue is empty or there is no HID interface yet.
    bool takeCommand(HidCommand& command);
    // Takes the oldest queued command only if it carries this command number.
    bool takeCommandIf(BYTE command, HidCommand& taken);
    // Waits on the sender's stop event; true when the sender must end.
    static bool stopRequested(HANDLE stopEvent, DWORD milliseconds);
    // Sends a registered message to the owner window, from whichever thread.
    void notifyOwner(UINT message, LPARAM lParam);

private:
    void run() override;
    bool writeOutputReport(const std::wstring& path, const void* report, DWORD length);
    void showFocusPicture(UINT resourceId);
    void clearFocusPicture();

    std::deque<HidCommand> commands_;
    std::wstring hidPath_;
    std::wstring notificationName_;
    HIDP_CAPS hidCaps_{};
    int hidFound_ = 0;
    int quietFocus_ = 1;
    int focusSoundsOff_ = 1;
    int focusing_ = 0;

    // Guards the command queue and the HID interface's path, capabilities and found flag, which the
    // sender thread reads while the user-interface thread fills or finds them. Never held across I/O.
    mutable CRITICAL_SECTION lock_;
    UINT focusPicture_ = 0;
    // The path registered with the report reader, unregistered by stop.
    std::wstring readerPath_;
};
