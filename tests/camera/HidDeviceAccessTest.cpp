#include <gtest/gtest.h>

#include <string>

#include "camera/HidDeviceAccess.h"
#include "framework/Handles.h"
#include "tests/camera/ScriptedHidDevice.h"

namespace {

// The platform's access, driven through a named pipe: no HID device exists here, but a pipe answers
// reads and writes like a device handle, so the overlapped read, cancel and write paths run for real.
class Win32HidDeviceOnAPipe : public ::testing::Test {
protected:
    void SetUp() override {
        name = L"\\\\.\\pipe\\skeo-hid-" + std::to_wstring(GetCurrentProcessId());
        server.reset(CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_MESSAGE | PIPE_WAIT, 1, 4096, 4096,
                                      0, nullptr));
        ASSERT_TRUE(server.valid());
        device = win32HidDeviceAccess().open(name, true);
        ASSERT_NE(device, nullptr);
        event.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
        overlapped.hEvent = event.get();
    }

    bool serverWrite(const std::string& bytes) {
        DWORD written = 0;
        return WriteFile(server.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
               written == bytes.size();
    }

    std::wstring name;
    vnt::FileHandle server;
    std::unique_ptr<HidDevice> device;
    vnt::KernelHandle event;
    OVERLAPPED overlapped{};
    char buffer[16] = {};
};

TEST_F(Win32HidDeviceOnAPipe, AReadFinishesIntoTheCallersBufferAndSetsTheCallersEvent) {
    ASSERT_TRUE(device->startRead(buffer, sizeof buffer, overlapped));
    DWORD bytes = 99;
    EXPECT_EQ(device->readResult(overlapped, bytes), HidReadStatus::pending);
    EXPECT_EQ(WaitForSingleObject(event.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    ASSERT_TRUE(serverWrite(std::string("\x01\x02\x03", 3)));
    ASSERT_EQ(WaitForSingleObject(event.get(), 5000), WAIT_OBJECT_0);
    ASSERT_EQ(device->readResult(overlapped, bytes), HidReadStatus::completed);
    EXPECT_EQ(bytes, 3u);
    EXPECT_EQ(std::string(buffer, 3), std::string("\x01\x02\x03", 3));
}

TEST_F(Win32HidDeviceOnAPipe, ACancelledReadEndsAsFailedAndLeavesTheBufferAlone) {
    ASSERT_TRUE(device->startRead(buffer, sizeof buffer, overlapped));
    device->cancelRead(overlapped);
    DWORD bytes = 99;
    EXPECT_EQ(device->readResult(overlapped, bytes), HidReadStatus::failed);

    // Data that arrives after the cancellation is not written into the old buffer.
    ASSERT_TRUE(serverWrite("late"));
    Sleep(100);
    EXPECT_EQ(buffer[0], 0);
}

TEST_F(Win32HidDeviceOnAPipe, WritesReachTheOtherEndAndHidQueriesFailOnANonHidHandle) {
    const char report[3] = {2, 6, 9};
    ASSERT_TRUE(device->writeReport(report, sizeof report));
    char received[8] = {};
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(server.get(), received, sizeof received, &read, nullptr));
    EXPECT_EQ(std::string(received, read), std::string(report, 3));

    HidAttributes attributes;
    HIDP_CAPS caps{};
    EXPECT_FALSE(device->attributes(attributes));
    EXPECT_FALSE(device->capabilities(caps));
}

TEST(HidDeviceAccess, ATestDeviceIsUsedWhileInstalledAndThePlatformsAfterwards) {
    ASSERT_EQ(&hidDeviceAccess(), &win32HidDeviceAccess());
    {
        testsupport::ScriptedHidAccess scripted;
        EXPECT_EQ(&hidDeviceAccess(), &scripted);
    }
    EXPECT_EQ(&hidDeviceAccess(), &win32HidDeviceAccess());
    EXPECT_EQ(win32HidDeviceAccess().open(L"\\\\?\\hid#vid_0000&pid_0000#0#{4d1e55b2-f16f-11cf-88cb-001111000030}",
                                          true),
              nullptr);
}

}  // namespace
