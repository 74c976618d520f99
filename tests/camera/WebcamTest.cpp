// The camera object and its capture graph where no capture device is needed: names from the USB
// enumeration key, the operations of a camera without a graph, and graphs that cannot be built.
#include "camera/CaptureGraph.h"
#include "camera/VNTWebcam.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

const wchar_t kDevice[] = L"vid_1e4e&pid_0c10&mi_00";
const wchar_t kInstance[] = L"6&2a1b3c4d&0&0000";
const std::wstring kUsbKey = std::wstring(L"SYSTEM\\CurrentControlSet\\Enum\\USB\\") + kDevice + L"\\" + kInstance;
const std::wstring kPath = std::wstring(L"\\\\?\\usb#") + kDevice + L"#" + kInstance +
                           L"#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";

// The machine's USB enumeration key of one device, in this test prefix, removed afterwards.
class UsbKey {
public:
    UsbKey() { RegCreateKeyExW(HKEY_LOCAL_MACHINE, kUsbKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr); }
    ~UsbKey() {
        if (key_) RegCloseKey(key_);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, (std::wstring(L"SYSTEM\\CurrentControlSet\\Enum\\USB\\") + kDevice).c_str());
    }
    void text(const wchar_t* name, const std::wstring& value) {
        RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    void number(const wchar_t* name, DWORD value) {
        RegSetValueExW(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    bool open() const { return key_ != nullptr; }

private:
    HKEY key_ = nullptr;
};

struct Window {
    HWND h = CreateWindowExW(0, L"STATIC", L"video", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr, nullptr,
                             nullptr);
    ~Window() { DestroyWindow(h); }
};

}  // namespace

TEST(UsbDeviceNameTest, NamesComeFromTheEnumerationKeyWhateverTheirLength) {
    UsbKey key;
    ASSERT_TRUE(key.open());
    // Longer than the 64 units such names usually get: read whole, nothing overrun.
    const std::wstring longName(150, L'N');
    key.text(L"FriendlyName", longName);
    key.text(L"LocationInformation", L"Port_#0002.Hub_#0001");
    std::wstring name;
    ASSERT_TRUE(readUsbDeviceName(kPath, name));
    EXPECT_EQ(name, L"Port_#0002.Hub_#0001 (" + longName + L")");

    // A value of the wrong type reads as empty; the location alone then names the device.
    key.number(L"FriendlyName", 7);
    ASSERT_TRUE(readUsbDeviceName(kPath, name));
    EXPECT_EQ(name, L"Port_#0002.Hub_#0001");

    key.number(L"LocationInformation", 1);
    EXPECT_FALSE(readUsbDeviceName(kPath, name));
    EXPECT_TRUE(name.empty());
}

TEST(UsbDeviceNameTest, PathsWithoutAKeyGiveNoName) {
    std::wstring name = L"unchanged";
    EXPECT_FALSE(readUsbDeviceName(kPath, name));
    EXPECT_FALSE(readUsbDeviceName(L"\\\\?\\usb#vid_1e4e&pid_0c10", name));
    EXPECT_FALSE(readUsbDeviceName(L"", name));
    EXPECT_EQ(name, L"unchanged");
}

TEST(VNTWebcamTest, WithoutAGraphEveryOperationDeclinesAndChangesNothing) {
    VNTWebcam camera;
    EXPECT_EQ(camera.cameraClassName(), L"VNTWebcam");
    EXPECT_TRUE(camera.silent());
    ASSERT_TRUE(camera.initWithDevice(L"\\\\?\\USB#VID_FFFF&PID_0001#X#{65E8773D}", L"Desk camera"));
    EXPECT_EQ(camera.devicePath(), L"\\\\?\\usb#vid_ffff&pid_0001#x#{65e8773d}");
    EXPECT_EQ(camera.displayName(), L"Desk camera");

    LONG value = 77;
    EXPECT_FALSE(camera.getVideoProcAmpProperty(0, &value));
    EXPECT_FALSE(camera.getCameraControlProperty(5, &value));
    EXPECT_EQ(value, 77);
    EXPECT_FALSE(camera.setVideoProcAmpProperty(0, 1));
    EXPECT_FALSE(camera.resize());
    EXPECT_FALSE(camera.zoom(2.0f));
    EXPECT_FALSE(camera.toggleMirror(true, false));
    EXPECT_FALSE(camera.isMirrorHorizontal());
    EXPECT_FALSE(camera.showBlackFrame());
    EXPECT_FALSE(camera.disableBitmap());
    EXPECT_FALSE(camera.snapshot(L"C:\\nowhere.jpg", true));
    LONG lo = 0, hi = 0;
    EXPECT_FALSE(camera.videoProcAmpRange(0, &lo, &hi));
    EXPECT_FALSE(camera.stop());
}

TEST(VNTWebcamTest, ACameraThatIsNotAttachedBuildsNothingAndIsFreedOnRelease) {
    Window window;
    VNTWebcam camera;
    camera.initWithDevice(L"\\\\?\\usb#vid_ffff&pid_0001&mi_00#7&1&0&0000#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global",
                          L"Gone");
    camera.setOwners(window.h, window.h);
    EXPECT_FALSE(camera.build(640, 480, nullptr));
    // The failed graph stays with the camera until it is stopped or released.
    EXPECT_NE(camera.graph(), nullptr);
    EXPECT_FALSE(camera.start());
    EXPECT_TRUE(camera.release());
    EXPECT_EQ(camera.graph(), nullptr);
    EXPECT_EQ(camera.ownerWindow(), nullptr);
    EXPECT_EQ(camera.videoWindow(), nullptr);
}

TEST(CaptureGraphTest, AGraphNeedsAVideoWindow) {
    CaptureGraph graph(nullptr, reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234)));
    EXPECT_EQ(graph.videoWindow(), nullptr);
    EXPECT_FALSE(graph.SetVideoCapture(L"\\\\?\\usb#vid_ffff&pid_0001"));
    EXPECT_EQ(CaptureGraph::rotRegistration(), -1);
    EXPECT_FALSE(graph.SetResolution(nullptr, 640, 480));
    CameraPropertyRecord record{};
    EXPECT_FALSE(graph.GetProperty(GUID_NULL, 0, &record, sizeof record));
    EXPECT_FALSE(graph.Snapshot(L"C:\\nowhere.jpg"));
    EXPECT_FALSE(graph.PlayGraph());
}
