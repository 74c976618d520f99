// The maker's camera models on scripted HID devices: finding the HID interface through the USB
// enumeration keys of this test prefix, button reports turned into the owner window's messages and
// focus pictures, and the output reports the command sender writes.
#include "camera/VNTHidReportMonitor.h"
#include "camera/VNTWebcamSkeo.h"
#include "camera/VNTWebcamSkeoPlus.h"
#include "framework/Handles.h"
#include "resources/resource.h"
#include "tests/camera/ScriptedHidDevice.h"
#include "tests/support/MessagePump.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using testsupport::Bytes;
using testsupport::pumpUntil;
using testsupport::ScriptedHidAccess;
using testsupport::ScriptedHidDevice;

const wchar_t kUsbRoot[] = L"SYSTEM\\CurrentControlSet\\Enum\\USB\\";
const wchar_t kVideoClass[] = L"#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";
const wchar_t kHidClass[] = L"#{4d1e55b2-f16f-11cf-88cb-001111000030}";
const wchar_t kPrefix[] = L"8&2f3a4b5c&0";

// One attached camera of a model: its video interface path, the enumeration key of its HID interface
// and the HID path derived from both.
struct Camera {
    std::wstring ids;  // "vid_c7a2&pid_5a01"
    std::wstring videoPath() const { return L"\\\\?\\usb#" + ids + L"&mi_00#7&1a2b3c4d&0&0000" + kVideoClass; }
    std::wstring hidDeviceKey() const { return kUsbRoot + ids + L"&mi_02"; }
    std::wstring hidKey() const { return hidDeviceKey() + L"\\7&1a2b3c4d&0&0002"; }
    std::wstring hidPath(const std::wstring& prefix = kPrefix) const {
        return L"\\\\?\\hid#" + ids + L"&mi_02#" + prefix + L"&0000" + kHidClass;
    }
};
const Camera kModelA{L"vid_c7a2&pid_5a01"};
const Camera kModelB{L"vid_c7a2&pid_5a02"};

// The HID interface's enumeration key, in this test prefix's HKEY_LOCAL_MACHINE, removed afterwards.
class HidKey {
public:
    explicit HidKey(const Camera& camera) : camera_(camera) {}
    ~HidKey() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, camera_.hidDeviceKey().c_str()); }
    bool write(DWORD type, const void* data, DWORD bytes) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, camera_.hidKey().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return false;
        const bool ok = RegSetValueExW(key, L"ParentIdPrefix", 0, type, static_cast<const BYTE*>(data), bytes) ==
                        ERROR_SUCCESS;
        RegCloseKey(key);
        return ok;
    }
    bool prefix(const std::wstring& text) {
        return write(REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

private:
    Camera camera_;
};

struct Sent {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// The main window as the cameras meet it: records the registered camera messages it receives.
class OwnerWindow {
public:
    OwnerWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &OwnerWindow::proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"SkeoCameraTestOwner";
        RegisterClassW(&wc);
        h = CreateWindowExW(0, wc.lpszClassName, L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr,
                            wc.hInstance, nullptr);
        SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~OwnerWindow() { DestroyWindow(h); }

    std::vector<Sent> of(UINT message) const {
        std::vector<Sent> found;
        for (const Sent& s : received)
            if (s.message == message) found.push_back(s);
        return found;
    }

    HWND h = nullptr;
    std::vector<Sent> received;

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        static const UINT names[] = {RegisterWindowMessageW(L"WM_VNTWebcam_SnapshotKey"),
                                     RegisterWindowMessageW(L"WM_VNTWebcamSkeo_FocusKey"),
                                     RegisterWindowMessageW(L"WM_VNTWebcamSkeo_FocusMode"),
                                     RegisterWindowMessageW(L"WM_VNTWebcamSkeoPlus_ExposureChanged")};
        OwnerWindow* self = reinterpret_cast<OwnerWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        for (UINT name : names) {
            if (self && message == name) {
                self->received.push_back(Sent{message, wParam, lParam});
                return 0;
            }
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
};

const UINT kSnapshotKey = RegisterWindowMessageW(L"WM_VNTWebcam_SnapshotKey");
const UINT kFocusKey = RegisterWindowMessageW(L"WM_VNTWebcamSkeo_FocusKey");
const UINT kFocusMode = RegisterWindowMessageW(L"WM_VNTWebcamSkeo_FocusMode");
const UINT kExposureChanged = RegisterWindowMessageW(L"WM_VNTWebcamSkeoPlus_ExposureChanged");

// An output report as the camera expects it: {2, command, value}, zero-filled to its length.
Bytes outputReport(uint8_t command, uint8_t value, size_t length = 8) {
    Bytes report(length, 0);
    report[0] = 2;
    report[1] = command;
    report[2] = value;
    return report;
}

bool isRegisterQuery(const Bytes& report) { return report.size() > 2 && report[1] == 0; }

// The output reports but the register queries of the polling sender.
std::vector<Bytes> commandsSent(const ScriptedHidDevice& device) {
    std::vector<Bytes> commands;
    for (const Bytes& report : device.outputReports())
        if (!isRegisterQuery(report)) commands.push_back(report);
    return commands;
}

size_t queriesSent(const ScriptedHidDevice& device) {
    size_t n = 0;
    for (const Bytes& report : device.outputReports()) n += isRegisterQuery(report);
    return n;
}

// A camera of one model whose HID interface is a scripted device, found through its enumeration key.
class SkeoCameraTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(owner.h, nullptr);
        ASSERT_NE(video.get(), nullptr);
    }

    ScriptedHidDevice& attach(const Camera& model, USHORT inputLength = 8, USHORT outputLength = 8) {
        ScriptedHidDevice& device = access.add(model.hidPath(), inputLength, outputLength);
        device.attributes.vendorId = 0xC7A2;
        device.attributes.productId = model.ids == kModelA.ids ? 0x5A01 : 0x5A02;
        device.attributes.versionNumber = 0x0102;
        keys.emplace_back(new HidKey(model));
        EXPECT_TRUE(keys.back()->prefix(kPrefix));
        return device;
    }

    template <typename Model>
    std::unique_ptr<VNTWebcamSkeo> open(const Camera& model) {
        std::unique_ptr<VNTWebcamSkeo> camera(new Model);
        EXPECT_TRUE(camera->initWithDevice(model.videoPath(), L"Document camera"));
        camera->setOwners(owner.h, video.get());
        return camera;
    }

    // Model B at step 4 with automatic exposure on, step 9 queued and its sender started.
    std::unique_ptr<VNTWebcamSkeo> changeExposureInAutomaticMode(ScriptedHidDevice& device) {
        device.scriptInputReport({1, 4});
        std::unique_ptr<VNTWebcamSkeo> camera = open<VNTWebcamSkeoPlus>(kModelB);
        camera->queueCommand(VNTWebcamSkeo::kExposureMode, 1);
        camera->setExposure(9);
        EXPECT_TRUE(camera->startCommandSender());
        return camera;
    }

    // Pumps until the sender has polled the camera n times in all.
    bool polled(const ScriptedHidDevice& device, size_t n) {
        return pumpUntil([&] { return queriesSent(device) >= n; });
    }

    ScriptedHidAccess access;
    std::vector<std::unique_ptr<HidKey>> keys;
    OwnerWindow owner;
    vnt::WindowHandle video{CreateWindowExW(0, L"STATIC", L"video", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480,
                                                          nullptr, nullptr, nullptr, nullptr)};
};

// Pumps for a while whatever happens, for checks that something does not happen.
void pumpFor(DWORD milliseconds) {
    pumpUntil([] { return false; }, milliseconds);
}

// Pumps until the sender has polled n times, then a little longer so that the last poll's answer has
// been read too; the sender then waits most of a second before its next pass.
bool afterPoll(const ScriptedHidDevice& device, size_t n) {
    if (!pumpUntil([&] { return queriesSent(device) >= n; })) return false;
    pumpFor(100);
    return true;
}

}  // namespace

// --- Finding the HID interface ---------------------------------------------------------------------

TEST_F(SkeoCameraTest, TheHidInterfaceIsFoundThroughItsEnumerationKeyAndMeasured) {
    ScriptedHidDevice& device = attach(kModelA, 8, 16);
    // The device monitor hands over paths in any case.
    std::wstring upper = kModelA.videoPath();
    CharUpperBuffW(&upper[0], static_cast<DWORD>(upper.size()));
    VNTWebcamSkeo camera;
    ASSERT_TRUE(camera.initWithDevice(upper, L"Document camera"));
    EXPECT_TRUE(camera.hidFound());
    EXPECT_EQ(camera.hidPath(), kModelA.hidPath());
    EXPECT_EQ(camera.hidCapabilities().OutputReportByteLength, 16);
    EXPECT_EQ(camera.versionText(), L"0102");
    EXPECT_EQ(device.openHandles(), 0) << "discovery closes the interface it measured";

    // Another maker's HID interface is used, but its version is not the camera's.
    ScriptedHidDevice& foreign = attach(kModelB);
    foreign.attributes.vendorId = 0x1234;
    VNTWebcamSkeoPlus other;
    ASSERT_TRUE(other.initWithDevice(kModelB.videoPath(), L"Other"));
    EXPECT_TRUE(other.hidFound());
    EXPECT_EQ(other.versionText(), L"");
}

TEST_F(SkeoCameraTest, FindHidInterfaceReadsAPrefixOfAnyLengthAndRefusesValuesThatAreNotText) {
    HidKey key(kModelA);
    VNTWebcamSkeo camera;
    camera.initWithDevice(kModelA.videoPath(), L"Document camera");

    // Fits the first 32-byte request; needs the second; longer than the 64 bytes a prefix usually has.
    for (const std::wstring& prefix : {std::wstring(L"8&2f3a"), std::wstring(L"9&1a2b3c4d5e6f7&0"),
                                      std::wstring(L"7&") + std::wstring(100, L'c') + L"&0"}) {
        SCOPED_TRACE(prefix);
        ASSERT_TRUE(key.prefix(prefix));
        ASSERT_TRUE(camera.FindHidInterface());
        EXPECT_EQ(camera.hidPath(), kModelA.hidPath(prefix));
    }

    // Text stored without its final NUL is read up to its end.
    const wchar_t unterminated[] = {L'5', L'&', L'a', L'b'};
    ASSERT_TRUE(key.write(REG_SZ, unterminated, sizeof unterminated));
    ASSERT_TRUE(camera.FindHidInterface());
    EXPECT_EQ(camera.hidPath(), kModelA.hidPath(L"5&ab"));

    const DWORD number = 8;
    const char bytes[] = "8&2f3a4b5c&0";
    struct {
        const char* what;
        DWORD type;
        const void* data;
        DWORD size;
    } refused[] = {{"a number", REG_DWORD, &number, sizeof number},
                   {"binary data", REG_BINARY, bytes, sizeof bytes},
                   {"empty text", REG_SZ, L"", sizeof(wchar_t)}};
    for (const auto& value : refused) {
        SCOPED_TRACE(value.what);
        ASSERT_TRUE(key.write(value.type, value.data, value.size));
        EXPECT_FALSE(camera.FindHidInterface());
        EXPECT_FALSE(camera.discoverHid());
        EXPECT_EQ(camera.hidPath(), L"");
    }
}

TEST_F(SkeoCameraTest, PathsThatAreNotACompositeVideoInterfaceHaveNoHidInterface) {
    attach(kModelA);
    for (const std::wstring& path :
         {std::wstring(), std::wstring(L"\\\\?\\usb#vid_c7a2&pid_5a01"), std::wstring(L"#{"), std::wstring(L"##{"),
          std::wstring(L"\\\\?\\usb#vid_c7a2&pid_5a01&mi_00#7&1a2b3c4d&0&0000"),
          std::wstring(L"\\\\?\\usb#vid_c7a2&pid_5a01&mi_01#7&1a2b3c4d&0&0001") + kVideoClass,
          std::wstring(L"\\\\?\\usb#vid_c7a2&pid_5a01#mi_00{") + kVideoClass}) {
        SCOPED_TRACE(path);
        VNTWebcamSkeo camera;
        EXPECT_TRUE(camera.initWithDevice(path, L"Camera"));
        EXPECT_FALSE(camera.FindHidInterface());
        EXPECT_FALSE(camera.hidFound());
    }
}

TEST_F(SkeoCameraTest, TheRetryTimerFindsAHidInterfaceThatAppearsLate) {
    std::unique_ptr<VNTWebcamSkeo> camera = open<VNTWebcamSkeo>(kModelA);
    EXPECT_FALSE(camera->hidFound());
    EXPECT_EQ(camera->hidPath(), L"");
    pumpFor(1200);  // a retry or so finds nothing and keeps the camera as it was
    EXPECT_FALSE(camera->hidFound());

    attach(kModelA);
    ASSERT_TRUE(pumpUntil([&] { return camera->hidFound(); }, 5000));
    EXPECT_EQ(camera->hidPath(), kModelA.hidPath());
    EXPECT_EQ(camera->versionText(), L"0102");
    const int opens = access.opens(kModelA.hidPath());
    pumpFor(1500);
    EXPECT_EQ(access.opens(kModelA.hidPath()), opens) << "the search stops once it has found the interface";
}

// --- Button reports ----------------------------------------------------------------------------------

TEST_F(SkeoCameraTest, ButtonReportsReachTheOwnerWindowWithTheVideoWindow) {
    ScriptedHidDevice& device = attach(kModelA);
    std::unique_ptr<VNTWebcamSkeo> camera = open<VNTWebcamSkeo>(kModelA);
    ASSERT_TRUE(camera->registerHidReports());

    device.sendReport({0x01, 3, 2, 0, 0, 0, 0, 0});
    ASSERT_TRUE(pumpUntil([&] { return owner.received.size() == 1; }));
    device.sendReport({0x01, 9, 9, 0, 0, 0, 0, 0});  // not an event the camera knows
    device.sendReport({0x01, 1, 0x55, 0, 0, 0, 0, 0});
    ASSERT_TRUE(pumpUntil([&] { return owner.received.size() == 2; }));
    pumpFor(200);

    ASSERT_EQ(owner.received.size(), 2u);
    EXPECT_EQ(owner.received[0].message, kFocusMode);
    EXPECT_EQ(owner.received[0].lParam, 2);
    EXPECT_EQ(owner.received[1].message, kSnapshotKey);
    EXPECT_EQ(owner.received[1].lParam, 1);
    for (const Sent& sent : owner.received) EXPECT_EQ(reinterpret_cast<HWND>(sent.wParam), video.get());
}

TEST_F(SkeoCameraTest, TheFirstFocusCycleIsQuietTheSecondShowsItsPicturesUntilTheTimerClearsThem) {
    ScriptedHidDevice& device = attach(kModelA);
    std::unique_ptr<VNTWebcamSkeo> camera = open<VNTWebcamSkeo>(kModelA);
    ASSERT_TRUE(camera->registerHidReports());
    auto report = [&](uint8_t value) {
        const size_t before = owner.received.size();
        device.sendReport({0x01, 2, value, 0, 0, 0, 0, 0});
        return pumpUntil([&] { return owner.received.size() == before + 1; });
    };

    ASSERT_TRUE(report(1));
    EXPECT_TRUE(camera->focusing());
    EXPECT_EQ(camera->focusPicture(), 0u);
    ASSERT_TRUE(report(2));
    EXPECT_FALSE(camera->focusing());
    EXPECT_FALSE(camera->quietFocus());
    EXPECT_EQ(camera->focusPicture(), 0u);

    ASSERT_TRUE(report(1));
    EXPECT_EQ(camera->focusPicture(), UINT(IDB_FOCUS_IN_PROGRESS));
    ASSERT_TRUE(report(2));
    EXPECT_EQ(camera->focusPicture(), UINT(IDB_FOCUS_FINISHED));
    const ULONGLONG finished = GetTickCount64();
    ASSERT_TRUE(pumpUntil([&] { return camera->focusPicture() == 0; }, 6000));
    EXPECT_GE(GetTickCount64() - finished, 1900u) << "the finished picture stays about two seconds";

    const std::vector<Sent> keys = owner.of(kFocusKey);
    ASSERT_EQ(keys.size(), 4u);
    for (size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(keys[i].lParam, LPARAM(i % 2 + 1));
        EXPECT_EQ(reinterpret_cast<HWND>(keys[i].wParam), video.get());
    }
}

TEST_F(SkeoCameraTest, AFocusEndWithoutAStartShowsNothingAndASnapshotClearsThePicture) {
    ScriptedHidDevice& device = attach(kModelA);
    std::unique_ptr<VNTWebcamSkeo> camera = open<VNTWebcamSkeo>(kModelA);
    ASSERT_TRUE(camera->registerHidReports());
    auto report = [&](uint8_t event, uint8_t value) {
        const size_t before = owner.received.size();
        device.sendReport({0x01, event, value, 0, 0, 0, 0, 0});
        return pumpUntil([&] { return owner.received.size() == before + 1; });
    };

    // A stray end neither shows anything nor uses up the quiet first cycle; the owner still hears it.
    ASSERT_TRUE(report(2, 2));
    EXPECT_EQ(owner.received.back().message, kFocusKey);
    EXPECT_EQ(owner.received.back().lParam, 2);
    EXPECT_EQ(camera->focusPicture(), 0u);
    EXPECT_TRUE(camera->quietFocus());

    ASSERT_TRUE(report(2, 1));
    ASSERT_TRUE(report(2, 2));
    ASSERT_TRUE(report(2, 2));
    EXPECT_EQ(camera->focusPicture(), 0u);

    ASSERT_TRUE(report(2, 1));
    EXPECT_EQ(camera->focusPicture(), UINT(IDB_FOCUS_IN_PROGRESS));
    ASSERT_TRUE(report(1, 0));
    EXPECT_EQ(owner.received.back().message, kSnapshotKey);
    EXPECT_EQ(camera->focusPicture(), 0u) << "the snapshot button clears the focus picture";
    // The cleared cycle's end shows no finished picture.
    ASSERT_TRUE(report(2, 2));
    EXPECT_EQ(camera->focusPicture(), 0u);

    // A quiet refocus makes the next cycle quiet again.
    EXPECT_TRUE(camera->focusAgain(true));
    EXPECT_EQ(camera->queuedCommandCount(), 1u);
    ASSERT_TRUE(report(2, 1));
    EXPECT_EQ(camera->focusPicture(), 0u);
}

TEST_F(SkeoCameraTest, ReportsAreDecodedWithinTheBytesTheDeviceDelivers) {
    struct {
        const char* what;
        USHORT inputLength;
        Bytes report;
        UINT message;
        LPARAM lParam;
    } cases[] = {
        {"two-byte reports carry the event only", 2, {1, 1}, kSnapshotKey, 1},
        {"a value cut off counts as 0", 2, {1, 3, 9}, kFocusMode, 0},
        {"long reports", 64, {1, 3, 7, 0xFF, 0xFF, 0xFF}, kFocusMode, 7},
        {"more bytes than the device's reports", 8, {1, 3, 5, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}, kFocusMode, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        owner.received.clear();
        ScriptedHidDevice& device = attach(kModelA, c.inputLength);
        std::unique_ptr<VNTWebcamSkeo> camera = open<VNTWebcamSkeo>(kModelA);
        ASSERT_TRUE(camera->registerHidReports());
        device.sendReport(c.report);
        ASSERT_TRUE(pumpUntil([&] { return !owner.received.empty(); }));
        EXPECT_EQ(owner.received[0].message, c.message);
        EXPECT_EQ(owner.received[0].lParam, c.lParam);
    }
}

TEST_F(SkeoCameraTest, StopEndsReportsAndTheSenderAndABuildWithoutVideoReadsNothing) {
    ScriptedHidDevice& device = attach(kModelA);
    std::unique_ptr<VNTWebcamSkeo> camera = open<VNTWebcamSkeo>(kModelA);
    VNTHidReportMonitor& monitor = VNTHidReportMonitor::instance();

    // No capture device behind the path: no graph, so neither buttons nor commands.
    EXPECT_FALSE(camera->build(640, 480, nullptr));
    EXPECT_FALSE(monitor.isReading(kModelA.hidPath()));
    EXPECT_FALSE(camera->start());
    EXPECT_FALSE(camera->commandSenderRunning());

    ASSERT_TRUE(camera->registerHidReports());
    ASSERT_TRUE(camera->startCommandSender());
    EXPECT_TRUE(monitor.isReading(kModelA.hidPath()));

    EXPECT_FALSE(camera->stop());
    EXPECT_FALSE(monitor.isReading(kModelA.hidPath()));
    EXPECT_FALSE(camera->commandSenderRunning());
    EXPECT_EQ(device.openHandles(), 0);
    device.sendReport({1, 1, 1, 0, 0, 0, 0, 0});
    pumpFor(300);
    EXPECT_TRUE(owner.received.empty());
}

// --- Commands --------------------------------------------------------------------------------------

TEST_F(SkeoCameraTest, ModelASendsEveryQueuedCommandInOrderAndRefusesStepsAbove14) {
    ScriptedHidDevice& device = attach(kModelA);
    std::unique_ptr<VNTWebcamSkeo> camera = open<VNTWebcamSkeo>(kModelA);
    EXPECT_TRUE(camera->setExposure(15));
    EXPECT_TRUE(camera->setExposure(-1));
    EXPECT_EQ(camera->queuedCommandCount(), 0u);

    camera->setExposure(14);
    camera->setExposure(0);
    camera->setExposure(14);
    camera->focusAgain(false);
    camera->queueCommand(VNTWebcamSkeo::kExposureMode, 1);
    ASSERT_TRUE(camera->startCommandSender());
    ASSERT_TRUE(pumpUntil([&] { return device.outputReports().size() == 5; }));
    EXPECT_EQ(device.outputReports(), (std::vector<Bytes>{outputReport(6, 14), outputReport(6, 0), outputReport(6, 14),
                                                          outputReport(79, 0), outputReport(5, 1)}));
    EXPECT_EQ(camera->queuedCommandCount(), 0u);
}

TEST_F(SkeoCameraTest, CommandsQueuedWhileTheSenderDrainsAreAllSentInOrder) {
    ScriptedHidDevice& device = attach(kModelA);
    std::unique_ptr<VNTWebcamSkeo> camera = open<VNTWebcamSkeo>(kModelA);
    std::vector<Bytes> expected;
    for (BYTE step = 0; step < 5; ++step) {
        camera->setExposure(step);
        expected.push_back(outputReport(6, step));
    }
    ASSERT_TRUE(camera->startCommandSender());
    ASSERT_TRUE(pumpUntil([&] { return !device.outputReports().empty(); }));
    // Queued from this thread while the sender takes from the same queue.
    for (BYTE step = 5; step < 15; ++step) {
        camera->setExposure(step);
        expected.push_back(outputReport(6, step));
    }
    ASSERT_TRUE(pumpUntil([&] { return device.outputReports().size() >= expected.size(); }));
    pumpFor(200);
    EXPECT_EQ(device.outputReports(), expected);
}

TEST_F(SkeoCameraTest, RegisterQueriesAskTheCameraAndReadItsAnswer) {
    ScriptedHidDevice& device = attach(kModelA);
    std::unique_ptr<VNTWebcamSkeo> camera = open<VNTWebcamSkeo>(kModelA);
    EXPECT_EQ(camera->queryRegister(6), -1) << "no answer scripted";
    device.scriptInputReport({1, 42});
    EXPECT_EQ(camera->queryRegister(6), 42);
    EXPECT_EQ(device.outputReports(), (std::vector<Bytes>{outputReport(0, 6), outputReport(0, 6)}));
}

TEST_F(SkeoCameraTest, ModelBSendsOnlyTheLastOfQuickStepsAndNothingForTheStepItHas) {
    ScriptedHidDevice& device = attach(kModelB);
    device.scriptInputReport({1, 4});
    std::unique_ptr<VNTWebcamSkeo> camera = open<VNTWebcamSkeoPlus>(kModelB);
    camera->setExposure(0);
    camera->setExposure(16);
    EXPECT_EQ(camera->queuedCommandCount(), 0u);
    ASSERT_TRUE(camera->startCommandSender());

    ASSERT_TRUE(afterPoll(device, 1));  // the sender has read the camera's step, 4
    camera->setExposure(4);
    ASSERT_TRUE(afterPoll(device, 2));
    EXPECT_TRUE(commandsSent(device).empty());

    camera->setExposure(5);
    camera->setExposure(7);
    camera->setExposure(9);
    device.scriptInputReport({1, 9});  // the camera takes it
    ASSERT_TRUE(afterPoll(device, 3));
    EXPECT_EQ(commandsSent(device), (std::vector<Bytes>{outputReport(6, 9)}));

    camera->setExposure(15);  // model A's range ends at 14
    ASSERT_TRUE(afterPoll(device, 4));
    EXPECT_EQ(commandsSent(device), (std::vector<Bytes>{outputReport(6, 9), outputReport(6, 15)}));
}

TEST_F(SkeoCameraTest, WithAutomaticExposureOnAStepIsSentBetweenExposureModeReportsTwice) {
    ScriptedHidDevice& device = attach(kModelB);
    std::unique_ptr<VNTWebcamSkeo> camera = changeExposureInAutomaticMode(device);
    ASSERT_TRUE(pumpUntil([&] { return commandsSent(device).size() >= 7; }));
    pumpFor(300);
    EXPECT_EQ(commandsSent(device),
              (std::vector<Bytes>{outputReport(5, 1), outputReport(5, 0), outputReport(6, 9), outputReport(5, 1),
                                  outputReport(5, 0), outputReport(6, 9), outputReport(5, 1)}));
}

TEST_F(SkeoCameraTest, AStepChangedOnTheCameraReachesTheOwnerOnce) {
    ScriptedHidDevice& device = attach(kModelB);
    device.scriptInputReport({1, 4});
    std::unique_ptr<VNTWebcamSkeo> camera = open<VNTWebcamSkeoPlus>(kModelB);
    ASSERT_TRUE(camera->startCommandSender());
    ASSERT_TRUE(afterPoll(device, 2));
    EXPECT_TRUE(owner.of(kExposureChanged).empty()) << "the step the camera started with is no change";

    device.scriptInputReport({1, 11});
    ASSERT_TRUE(pumpUntil([&] { return !owner.of(kExposureChanged).empty(); }));
    // Polls that find the same step, or a 0, say nothing.
    ASSERT_TRUE(afterPoll(device, queriesSent(device) + 1));
    device.scriptInputReport({1, 0});
    ASSERT_TRUE(afterPoll(device, queriesSent(device) + 2));
    const std::vector<Sent> changes = owner.of(kExposureChanged);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].lParam, 11);
    EXPECT_EQ(reinterpret_cast<HWND>(changes[0].wParam), video.get());
    EXPECT_TRUE(commandsSent(device).empty()) << "a change on the camera is not sent back to it";
}

TEST_F(SkeoCameraTest, ModelBCanBeDestroyedWhileItsSenderWaitsOnTheOwnerWindow) {
    ScriptedHidDevice& device = attach(kModelB);
    device.scriptInputReport({1, 4});
    std::unique_ptr<VNTWebcamSkeo> camera = open<VNTWebcamSkeoPlus>(kModelB);
    ASSERT_TRUE(camera->startCommandSender());
    ASSERT_TRUE(afterPoll(device, 1));
    device.scriptInputReport({1, 12});
    // Not pumping: the sender is left blocked in telling the owner window.
    ASSERT_TRUE(testsupport::sentMessageWaiting());
    camera.reset();
    const std::vector<Sent> changes = owner.of(kExposureChanged);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].lParam, 12);
}

TEST_F(SkeoCameraTest, CommandsQueuedBeforeTheHidInterfaceAppearsAreSentOnceItIsFound) {
    for (const bool modelB : {false, true}) {
        SCOPED_TRACE(modelB ? "model B" : "model A");
        const Camera& model = modelB ? kModelB : kModelA;
        std::unique_ptr<VNTWebcamSkeo> camera =
            modelB ? open<VNTWebcamSkeoPlus>(model) : open<VNTWebcamSkeo>(model);
        ASSERT_FALSE(camera->hidFound());
        // What the owner queues when it starts a camera: its stored exposure and mode, and a refocus.
        camera->setExposure(7);
        camera->queueCommand(VNTWebcamSkeo::kExposureMode, 1);
        camera->focusAgain(true);
        ASSERT_TRUE(camera->startCommandSender());
        pumpFor(1500);  // the sender has woken with nowhere to send them
        EXPECT_EQ(camera->queuedCommandCount(), 3u);

        ScriptedHidDevice& device = attach(model);
        ASSERT_TRUE(pumpUntil([&] { return commandsSent(device).size() >= 3; }, 6000));
        pumpFor(100);
        EXPECT_EQ(commandsSent(device),
                  (std::vector<Bytes>{outputReport(6, 7), outputReport(5, 1), outputReport(79, 0)}));
        camera.reset();
        keys.clear();
    }
}

TEST_F(SkeoCameraTest, RegisterQueriesOfTwoThreadsEachGetTheirOwnAnswer) {
    ScriptedHidDevice& device = attach(kModelB);
    device.scriptRegister(VNTWebcamSkeo::kFocusModeRegister, 1);
    device.scriptRegister(VNTWebcamSkeoPlus::kExposureRegister, 4);
    // A slow camera: a question and its answer lie far apart.
    device.setOutputReportDelay(100);
    std::unique_ptr<VNTWebcamSkeo> camera = open<VNTWebcamSkeoPlus>(kModelB);
    // Its sender asks for the exposure about once a second while this thread asks for the focus mode.
    ASSERT_TRUE(camera->startCommandSender());
    std::vector<int> focusModes;
    const ULONGLONG end = GetTickCount64() + 3500;
    while (GetTickCount64() < end) {
        focusModes.push_back(camera->queryRegister(VNTWebcamSkeo::kFocusModeRegister));
        pumpFor(10);
    }
    size_t exposureQueries = 0;
    for (const Bytes& report : device.outputReports()) exposureQueries += report == outputReport(0, 6);
    EXPECT_GE(exposureQueries, 3u);
    for (const int mode : focusModes) EXPECT_EQ(mode, 1);
    EXPECT_TRUE(owner.of(kExposureChanged).empty()) << "the sender took a focus mode answer for the exposure";
}

TEST_F(SkeoCameraTest, StoppingModelBInItsExposureSequenceReturnsAtOnceWithAutomaticExposureOn) {
    ScriptedHidDevice& device = attach(kModelB);
    std::unique_ptr<VNTWebcamSkeo> camera = changeExposureInAutomaticMode(device);
    // {5, 1}, then {5, 0} and {6, 9}: the sender gives the camera 200 ms before switching back.
    ASSERT_TRUE(pumpUntil([&] { return commandsSent(device).size() >= 3; }));
    EXPECT_FALSE(camera->stop());
    EXPECT_FALSE(camera->commandSenderRunning());
    pumpFor(300);
    // Automatic exposure is on again at once, and the sequence's second round is never sent: a stop
    // that waited it out would have sent {5, 0}, {6, 9}, {5, 1} once more.
    EXPECT_EQ(commandsSent(device), (std::vector<Bytes>{outputReport(5, 1), outputReport(5, 0), outputReport(6, 9),
                                                        outputReport(5, 1)}));
}

TEST_F(SkeoCameraTest, TheFocusModeIsAskedOnTheSenderAndReachesTheOwnerAsAFocusModeReport) {
    for (const uint8_t mode : {0, 1}) {
        SCOPED_TRACE(mode);
        owner.received.clear();
        ScriptedHidDevice& device = attach(kModelA);
        device.scriptRegister(VNTWebcamSkeo::kFocusModeRegister, mode);
        std::unique_ptr<VNTWebcamSkeo> camera = open<VNTWebcamSkeo>(kModelA);
        ASSERT_TRUE(camera->startCommandSender());
        camera->queryFocusMode();
        ASSERT_TRUE(pumpUntil([&] { return !owner.of(kFocusMode).empty(); }));
        EXPECT_EQ(owner.of(kFocusMode)[0].lParam, mode);
        EXPECT_EQ(device.outputReports(), (std::vector<Bytes>{outputReport(0, 3)}));
        for (const DWORD thread : device.outputThreads()) EXPECT_NE(thread, GetCurrentThreadId());
    }
}

// --- Devices that do not behave ------------------------------------------------------------------

TEST_F(SkeoCameraTest, ADeviceWithoutReportsIsNeitherReadNorWritten) {
    ScriptedHidDevice& empty = attach(kModelA, 0, 0);
    std::unique_ptr<VNTWebcamSkeo> camera = open<VNTWebcamSkeo>(kModelA);
    ASSERT_TRUE(camera->hidFound());
    EXPECT_FALSE(camera->registerHidReports());
    EXPECT_EQ(empty.readsStarted(), 0);
    EXPECT_FALSE(camera->sendCommand(6, 3));
    EXPECT_EQ(camera->queryRegister(6), -1);
    EXPECT_TRUE(empty.outputReports().empty());

    // Too short to carry {2, command, value}.
    ScriptedHidDevice& narrow = attach(kModelA, 8, 2);
    camera = open<VNTWebcamSkeo>(kModelA);
    ASSERT_TRUE(camera->hidFound());
    EXPECT_FALSE(camera->sendCommand(6, 3));
    EXPECT_TRUE(narrow.outputReports().empty());
}

TEST_F(SkeoCameraTest, ASenderThatCannotReachItsCameraKeepsItsPaceAndDropsWhatFails) {
    for (const bool unplugged : {false, true}) {
        SCOPED_TRACE(unplugged ? "device gone" : "device answers nothing");
        owner.received.clear();
        ScriptedHidDevice& device = attach(kModelB);
        std::unique_ptr<VNTWebcamSkeo> camera = open<VNTWebcamSkeoPlus>(kModelB);
        ASSERT_TRUE(camera->hidFound());
        ASSERT_TRUE(camera->registerHidReports());
        if (unplugged) device.unplug(false);
        camera->setExposure(3);
        camera->queueCommand(VNTWebcamSkeo::kFocusAgain, 0);
        const int before = access.opens(kModelB.hidPath());
        ASSERT_TRUE(camera->startCommandSender());
        pumpFor(2500);
        const int opens = access.opens(kModelB.hidPath()) - before;
        EXPECT_GE(opens, 4) << "each command and poll is tried";
        EXPECT_LE(opens, 16) << "about one poll a second, whatever the device answers";
        EXPECT_EQ(camera->queuedCommandCount(), 0u);
        EXPECT_TRUE(owner.received.empty());
        camera.reset();
    }
}

// --- The models ----------------------------------------------------------------------------------

TEST(SkeoModelsTest, EachCameraHasItsOwnReportNameAndUnknownControlsLeaveValuesAlone) {
    VNTWebcamSkeo a;
    VNTWebcamSkeoPlus b;
    EXPECT_EQ(b.cameraClassName(), L"VNTWebcamSkeoPlus");
    EXPECT_EQ(b.modelText(), "Pello");
    EXPECT_NE(a.notificationName(), b.notificationName());
    for (VNTWebcamSkeo* camera : {static_cast<VNTWebcamSkeo*>(&a), static_cast<VNTWebcamSkeo*>(&b)}) {
        LONG lo = 77, hi = 77;
        EXPECT_FALSE(camera->videoProcAmpRange(6, &lo, &hi));
        EXPECT_FALSE(camera->cameraControlRange(4, &lo, &hi));
        EXPECT_FALSE(camera->videoProcAmpRange(0, nullptr, nullptr));
        EXPECT_EQ(lo + hi, 154);
        EXPECT_FALSE(camera->setImageControlDefaults()) << "without a graph no default can be set";
    }
}
