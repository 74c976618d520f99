// The program as Skeo.exe runs it, with the camera's HID interface served by a scripted device: the
// virtual camera has none, and the camera's own buttons arrive through it. Everything above the HID
// device access (enumeration key, report reader, camera class, controller) is the program's own.
// SKEO_SCRIPTED_HID_PATH names the interface the program will look for; each time the named event
// "SkeoScriptedHidSnapshotButton" is set, the device delivers one press of the snapshot button.
// SKEO_TEST_FAULT_AFTER_MS makes the program fault on purpose that long after it starts (an access
// through a null pointer on a thread of its own), for the test of what a crash leaves behind.
#include <windows.h>

#include <cwchar>
#include <string>

#include "tests/camera/ScriptedHidDevice.h"
#include "camera/VantorUsbIds.h"
#include "framework/Application.h"

namespace {

// The camera's input report for its snapshot button: report id, event 1, no value.
const testsupport::Bytes kSnapshotButton = {0, 1, 0, 0, 0, 0, 0, 0};

DWORD WINAPI pressButtons(void* device) {
    HANDLE pressed = CreateEventW(nullptr, FALSE, FALSE, L"SkeoScriptedHidSnapshotButton");
    if (!pressed) return 1;
    while (WaitForSingleObject(pressed, INFINITE) == WAIT_OBJECT_0)
        static_cast<testsupport::ScriptedHidDevice*>(device)->sendReport(kSnapshotButton);
    return 0;
}

DWORD WINAPI faultLater(void* milliseconds) {
    Sleep(static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(milliseconds)));
    volatile int* nowhere = nullptr;
    *nowhere = 1;
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    wchar_t path[512] = L"";
    const DWORD length = GetEnvironmentVariableW(L"SKEO_SCRIPTED_HID_PATH", path, 512);
    if (length > 0 && length < 512) {
        // Never destroyed: the program's camera objects may hold the device until the process ends.
        auto* access = new testsupport::ScriptedHidAccess;
        testsupport::ScriptedHidDevice& device = access->add(path);
        device.attributes.vendorId = vantor::kUsbVendorId;
        device.attributes.productId = vantor::kUsbProductIdModelA;
        device.attributes.versionNumber = 0x0102;
        if (HANDLE thread = CreateThread(nullptr, 0, pressButtons, &device, 0, nullptr)) CloseHandle(thread);
    }
    wchar_t fault[16] = L"";
    const DWORD faultLength = GetEnvironmentVariableW(L"SKEO_TEST_FAULT_AFTER_MS", fault, 16);
    if (faultLength > 0 && faultLength < 16) {
        const ULONG_PTR after = std::wcstoul(fault, nullptr, 10);
        if (HANDLE thread = CreateThread(nullptr, 0, faultLater, reinterpret_cast<void*>(after), 0, nullptr))
            CloseHandle(thread);
    }
    vnt::CApplication* app = vnt::CApplication::current();
    return app ? app->Run() : 1;
}
