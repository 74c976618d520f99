#include <gtest/gtest.h>

#include <windows.h>

#include <dbt.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/VNTNotificationCenter.h"
#include "camera/VNTHidReportMonitor.h"
#include "tests/camera/ScriptedHidDevice.h"
#include "tests/support/MessagePump.h"

namespace {

using testsupport::Bytes;
using testsupport::pumpUntil;
using testsupport::ScriptedHidAccess;
using testsupport::ScriptedHidDevice;

const std::wstring kPathA = L"\\\\?\\hid#vid_1234&pid_0001&mi_02#7&1a2b3c&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
const std::wstring kPathB = L"\\\\?\\hid#vid_1234&pid_0002&mi_02#7&4d5e6f&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";

HIDP_CAPS capsWithInputLength(USHORT length) {
    HIDP_CAPS caps{};
    caps.InputReportByteLength = length;
    caps.OutputReportByteLength = 8;
    return caps;
}

// Keeps a copy of every report delivered under its name, and the thread it was delivered on.
class ReportObserver : public VNTObject {
public:
    ReportObserver(const std::wstring& name, size_t length) : name_(name), length_(length) {
        VNTNotificationCenter::instance().addObserver(this, name_);
    }
    ~ReportObserver() override { VNTNotificationCenter::instance().removeObserver(this, L""); }

    void onNotification(void* data, const std::wstring& name) override {
        current = static_cast<const uint8_t*>(data);
        reports.emplace_back(current, current + length_);
        threads.push_back(GetCurrentThreadId());
        if (onReport) onReport();
        current = nullptr;
    }

    // The delivered data, during a delivery.
    const uint8_t* current = nullptr;

    std::vector<Bytes> reports;
    std::vector<DWORD> threads;
    std::function<void()> onReport;

private:
    std::wstring name_;
    size_t length_;
};

class HidReportMonitorTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(monitor->windowHandle(), nullptr) << "reports are delivered through it"; }

    ScriptedHidAccess access;
    std::unique_ptr<VNTHidReportMonitor> monitor{new VNTHidReportMonitor};
};

TEST_F(HidReportMonitorTest, ReportArrivesOnTheUiThreadWithTheDeviceBytesAndAShortOneEndsInZeros) {
    ScriptedHidDevice& device = access.add(kPathA);
    ReportObserver observer(L"reports A", 8);
    ASSERT_TRUE(monitor->registerHidReader(kPathA, L"reports A", capsWithInputLength(8)));
    ASSERT_TRUE(monitor->startWorker());

    device.sendReport({0x01, 0x02, 0x01, 0xA4, 0x55, 0x66, 0x77, 0xFF});
    ASSERT_TRUE(pumpUntil([&] { return observer.reports.size() == 1; }));
    EXPECT_EQ(observer.reports[0], (Bytes{0x01, 0x02, 0x01, 0xA4, 0x55, 0x66, 0x77, 0xFF}));
    EXPECT_EQ(observer.threads[0], GetCurrentThreadId());

    device.sendReport({0x01, 0x03, 0x09});
    ASSERT_TRUE(pumpUntil([&] { return observer.reports.size() == 2; }));
    EXPECT_EQ(observer.reports[1], (Bytes{0x01, 0x03, 0x09, 0, 0, 0, 0, 0}));

    // Each delivered report is followed by exactly one new read.
    ASSERT_TRUE(pumpUntil([&] { return device.readsStarted() == 3; }));
    EXPECT_TRUE(device.readPending());
}

TEST_F(HidReportMonitorTest, RegisteringAPathTwiceKeepsOneRecordAndOneRead) {
    ScriptedHidDevice& device = access.add(kPathA);
    ReportObserver first(L"first name", 8), second(L"second name", 8);
    ASSERT_TRUE(monitor->registerHidReader(kPathA, L"first name", capsWithInputLength(8)));
    ASSERT_TRUE(monitor->startWorker());
    EXPECT_TRUE(monitor->registerHidReader(kPathA, L"second name", capsWithInputLength(8)));

    EXPECT_EQ(monitor->readerCount(), 1u);
    EXPECT_EQ(access.opens(kPathA), 1);
    EXPECT_EQ(device.openHandles(), 1);
    EXPECT_EQ(device.readsStarted(), 1);

    device.sendReport({1, 1, 0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(pumpUntil([&] { return first.reports.size() == 1; }));
    pumpUntil([] { return false; }, 200);
    EXPECT_EQ(first.reports.size(), 1u);
    EXPECT_TRUE(second.reports.empty());
}

TEST_F(HidReportMonitorTest, PathsThatCannotBeReadAreRefused) {
    // Not a device at all.
    EXPECT_FALSE(monitor->registerHidReader(L"\\\\?\\hid#nothing#here", L"n", capsWithInputLength(8)));

    // A device that is gone.
    ScriptedHidDevice& gone = access.add(kPathB);
    gone.unplug();
    EXPECT_FALSE(monitor->registerHidReader(kPathB, L"n", capsWithInputLength(8)));

    // No input reports: a zero-length read would complete and be restarted without end.
    ScriptedHidDevice& silent = access.add(kPathA);
    EXPECT_FALSE(monitor->registerHidReader(kPathA, L"n", capsWithInputLength(0)));
    EXPECT_EQ(access.opens(kPathA), 0);
    EXPECT_EQ(silent.readsStarted(), 0);

    EXPECT_EQ(monitor->readerCount(), 0u);
    EXPECT_TRUE(monitor->unregisterHidReader(kPathA));
}

TEST(HidReportMonitorPlatform, ANonexistentHidPathIsRefused) {
    ASSERT_EQ(&hidDeviceAccess(), &win32HidDeviceAccess());
    VNTHidReportMonitor monitor;
    HIDP_CAPS caps{};
    caps.InputReportByteLength = 8;
    EXPECT_FALSE(monitor.registerHidReader(
        L"\\\\?\\hid#vid_1234&pid_0001&mi_02#7&dead&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}", L"n", caps));
    EXPECT_EQ(monitor.readerCount(), 0u);
}

TEST_F(HidReportMonitorTest, UnregisteringTheLastDeviceLeavesAnIdleWorkerThatStops) {
    ScriptedHidDevice& device = access.add(kPathA);
    ASSERT_TRUE(monitor->registerHidReader(kPathA, L"n", capsWithInputLength(8)));
    ASSERT_TRUE(monitor->startWorker());

    EXPECT_TRUE(monitor->unregisterHidReader(kPathA));
    EXPECT_EQ(monitor->readerCount(), 0u);
    EXPECT_TRUE(monitor->workerRunning());
    // The pending read was cancelled before its buffer went, and the device was closed.
    EXPECT_EQ(device.readsCancelled(), 1);
    EXPECT_EQ(device.openHandles(), 0);

    // A report that comes now has nowhere to go and starts nothing.
    device.sendReport({1, 1, 1, 1, 1, 1, 1, 1});
    pumpUntil([] { return false; }, 200);
    EXPECT_EQ(device.readsStarted(), 1);

    monitor.reset();  // returns only once the idle worker has ended
}

TEST_F(HidReportMonitorTest, AFailingDeviceIsGivenUpWithoutDeliveriesUntilRegisteredAgain) {
    ReportObserver observer(L"n", 8);
    ASSERT_TRUE(monitor->startWorker());
    int delivered = 0;
    for (const bool failAtStart : {true, false}) {
        SCOPED_TRACE(failAtStart ? "reads refused at once" : "reads started, then failing");
        ScriptedHidDevice& device = access.add(kPathA);
        ASSERT_TRUE(monitor->registerHidReader(kPathA, L"n", capsWithInputLength(8)));
        device.sendReport({1, 1, 0, 0, 0, 0, 0, 0});
        ASSERT_TRUE(pumpUntil([&] { return observer.reports.size() == size_t(delivered + 1); }));
        ++delivered;
        const int readsBefore = device.readsStarted();

        device.unplug(failAtStart);
        ASSERT_TRUE(pumpUntil([&] { return !monitor->isReading(kPathA); }));
        // Over a while: a spinning worker would start reads (and deliver buffers) without end.
        pumpUntil([] { return false; }, 1500);
        EXPECT_EQ(observer.reports.size(), size_t(delivered));
        EXPECT_LE(device.readsStarted() - readsBefore, VNTHidReportMonitor::kMaxConsecutiveFailures);
        EXPECT_EQ(monitor->readerCount(), 1u);

        device.plugIn();
        ASSERT_TRUE(monitor->registerHidReader(kPathA, L"n", capsWithInputLength(8)));
        EXPECT_TRUE(monitor->isReading(kPathA));
        device.sendReport({7, 1, 0, 0, 0, 0, 0, 0});
        ASSERT_TRUE(pumpUntil([&] { return observer.reports.size() == size_t(delivered + 1); }));
        ++delivered;
        EXPECT_EQ(observer.reports.back()[0], 7);
        ASSERT_TRUE(monitor->unregisterHidReader(kPathA));
    }
}

TEST_F(HidReportMonitorTest, AGivenUpDeviceIsReadAgainOnceItOpensAtADeviceArrivalOrWithinTheReopenPace) {
    ReportObserver observer(L"n", 8);
    ASSERT_TRUE(monitor->startWorker());
    // The arrival first, while the worker's paced reopen is still seconds away.
    const struct {
        const char* what;
        bool arrival;
        DWORD within;
    } cases[] = {{"a HID device arrives", true, 1000},
                 {"no arrival", false, VNTHidReportMonitor::kReopenIntervalMs + 1500}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedHidDevice& device = access.add(kPathA);
        ASSERT_TRUE(monitor->registerHidReader(kPathA, L"n", capsWithInputLength(8)));
        device.unplug(false);
        ASSERT_TRUE(pumpUntil([&] { return !monitor->isReading(kPathA); }));

        device.plugIn();
        if (c.arrival) {
            DEV_BROADCAST_DEVICEINTERFACE_W broadcast{};
            broadcast.dbcc_size = sizeof broadcast;
            broadcast.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
            SendMessageW(monitor->windowHandle(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL,
                         reinterpret_cast<LPARAM>(&broadcast));
        }
        ASSERT_TRUE(pumpUntil([&] { return monitor->isReading(kPathA); }, c.within));
        // The worker closes the failed handle just after the new reads show, outside its lock.
        EXPECT_TRUE(pumpUntil([&] { return device.openHandles() == 1; }, 1000))
            << "the handle of the failed reads is closed";
        EXPECT_EQ(device.openHandles(), 1);

        const size_t before = observer.reports.size();
        device.sendReport({0x42, 1, 0, 0, 0, 0, 0, 0});
        ASSERT_TRUE(pumpUntil([&] { return observer.reports.size() == before + 1; }));
        EXPECT_EQ(observer.reports.back()[0], 0x42);
        ASSERT_TRUE(monitor->unregisterHidReader(kPathA));
    }
}

TEST_F(HidReportMonitorTest, ReportsOfTwoDevicesGoUnderTheirOwnNames) {
    ScriptedHidDevice& a = access.add(kPathA, 4);
    ScriptedHidDevice& b = access.add(kPathB, 6);
    ReportObserver observerA(L"camera A", 4), observerB(L"camera B", 6);
    ASSERT_TRUE(monitor->registerHidReader(kPathA, L"camera A", capsWithInputLength(4)));
    ASSERT_TRUE(monitor->startWorker());
    // Registered while the worker waits: it is waited on from the worker's next pass.
    ASSERT_TRUE(monitor->registerHidReader(kPathB, L"camera B", capsWithInputLength(6)));

    b.sendReport({0xB0, 1, 2, 3, 4, 5});
    a.sendReport({0xA0, 1, 2, 3});
    ASSERT_TRUE(pumpUntil([&] { return observerA.reports.size() == 1 && observerB.reports.size() == 1; }));
    EXPECT_EQ(observerA.reports[0], (Bytes{0xA0, 1, 2, 3}));
    EXPECT_EQ(observerB.reports[0], (Bytes{0xB0, 1, 2, 3, 4, 5}));

    // Unregistering one leaves the other read.
    ASSERT_TRUE(monitor->unregisterHidReader(kPathA));
    b.sendReport({0xB1, 0, 0, 0, 0, 0});
    ASSERT_TRUE(pumpUntil([&] { return observerB.reports.size() == 2; }));
    EXPECT_EQ(observerB.reports[1][0], 0xB1);
    EXPECT_EQ(observerA.reports.size(), 1u);
}

TEST_F(HidReportMonitorTest, DestructionWithReadsPendingCancelsThemAndReturns) {
    ScriptedHidDevice& a = access.add(kPathA);
    ScriptedHidDevice& b = access.add(kPathB);
    ASSERT_TRUE(monitor->registerHidReader(kPathA, L"a", capsWithInputLength(8)));
    ASSERT_TRUE(monitor->registerHidReader(kPathB, L"b", capsWithInputLength(8)));
    ASSERT_TRUE(monitor->startWorker());
    ASSERT_TRUE(a.readPending() && b.readPending());

    monitor.reset();
    EXPECT_EQ(a.readsCancelled(), 1);
    EXPECT_EQ(b.readsCancelled(), 1);
    EXPECT_EQ(a.openHandles() + b.openHandles(), 0);
}

TEST_F(HidReportMonitorTest, UnregisterWhileTheWorkerWaitsToDeliverAReport) {
    ScriptedHidDevice& a = access.add(kPathA);
    access.add(kPathB);
    ReportObserver observer(L"a", 8);
    ASSERT_TRUE(monitor->registerHidReader(kPathA, L"a", capsWithInputLength(8)));
    ASSERT_TRUE(monitor->registerHidReader(kPathB, L"b", capsWithInputLength(8)));
    ASSERT_TRUE(monitor->startWorker());

    // Without pumping, the worker is left blocked in handing this report to our window; stopping it
    // must still work (the report is delivered while we wait for it).
    a.sendReport({0xA5, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(testsupport::sentMessageWaiting());
    EXPECT_TRUE(observer.reports.empty());
    EXPECT_TRUE(monitor->unregisterHidReader(kPathB));
    EXPECT_EQ(monitor->readerCount(), 1u);
    ASSERT_TRUE(pumpUntil([&] { return observer.reports.size() == 1; }));
    EXPECT_EQ(observer.reports[0][0], 0xA5);
}

TEST_F(HidReportMonitorTest, AnObserverMayUnregisterItsDeviceWhileItsReportIsDelivered) {
    ScriptedHidDevice& device = access.add(kPathA);
    ReportObserver observer(L"a", 8);
    Bytes afterUnregister;
    observer.onReport = [&] {
        EXPECT_TRUE(monitor->unregisterHidReader(kPathA));
        // The buffer being delivered stays valid until the delivery ends.
        afterUnregister.assign(observer.current, observer.current + 8);
    };
    ASSERT_TRUE(monitor->registerHidReader(kPathA, L"a", capsWithInputLength(8)));
    ASSERT_TRUE(monitor->startWorker());

    device.sendReport({0x11, 0x22, 0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(pumpUntil([&] { return observer.reports.size() == 1; }));
    EXPECT_EQ(afterUnregister, (Bytes{0x11, 0x22, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(monitor->readerCount(), 0u);
    EXPECT_EQ(device.openHandles(), 0);
    // No read is started for the record that went.
    pumpUntil([] { return false; }, 200);
    EXPECT_EQ(device.readsStarted(), 1);
    EXPECT_TRUE(monitor->workerRunning());
}

}  // namespace
