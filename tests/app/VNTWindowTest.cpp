#include <gtest/gtest.h>

#include <vector>

#include "app/VNTWindow.h"
#include "tests/support/MessagePump.h"

namespace {

class ProbeWindow : public VNTWindow {
public:
    LRESULT windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override {
        seen.push_back(message);
        if (message == WM_APP + 5) return 1234;
        return VNTWindow::windowProc(hwnd, message, wParam, lParam);
    }
    int onTimer(UINT_PTR id) override {
        timers.push_back(id);
        return 0;
    }
    bool saw(UINT message) const {
        for (UINT m : seen)
            if (m == message) return true;
        return false;
    }
    std::vector<UINT> seen;
    std::vector<UINT_PTR> timers;
};

TEST(VNTWindow, EachObjectHasAHiddenTopLevelWindowOfItsOwnClass) {
    ProbeWindow a, b;
    ASSERT_NE(a.windowHandle(), nullptr);
    ASSERT_NE(b.windowHandle(), nullptr);
    EXPECT_NE(a.className(), b.className());
    EXPECT_EQ(a.className().rfind(L"VNTObject:0x", 0), 0u);

    wchar_t cls[64];
    ASSERT_GT(GetClassNameW(a.windowHandle(), cls, 64), 0);
    EXPECT_EQ(a.className(), cls);
    EXPECT_FALSE(IsWindowVisible(a.windowHandle()));
    EXPECT_EQ(GetParent(a.windowHandle()), nullptr);
}

TEST(VNTWindow, MessagesDuringCreationGoToTheDefaultProcedure) {
    ProbeWindow w;
    ASSERT_NE(w.windowHandle(), nullptr);
    // The window was created (WM_NCCREATE answered TRUE by the default procedure), yet the object
    // saw none of the creation messages: it was not bound yet.
    EXPECT_FALSE(w.saw(WM_NCCREATE));
    EXPECT_FALSE(w.saw(WM_CREATE));
    EXPECT_EQ(SendMessageW(w.windowHandle(), WM_APP + 5, 0, 0), 1234);
    EXPECT_TRUE(w.saw(WM_APP + 5));
}

TEST(VNTWindow, TimersReachOnTimerWithTheirId) {
    ProbeWindow w;
    ASSERT_NE(SetTimer(w.windowHandle(), 1002, 20, nullptr), 0u);
    ASSERT_TRUE(testsupport::pumpUntil([&] { return !w.timers.empty(); }));
    KillTimer(w.windowHandle(), 1002);
    EXPECT_EQ(w.timers.front(), 1002u);
    SendMessageW(w.windowHandle(), WM_TIMER, 77, 0);
    EXPECT_EQ(w.timers.back(), 77u);
}

TEST(VNTWindow, DestructionUnbindsDestroysAndUnregisters) {
    HWND hwnd = nullptr;
    std::wstring cls;
    {
        ProbeWindow w;
        hwnd = w.windowHandle();
        cls = w.className();
    }
    EXPECT_FALSE(IsWindow(hwnd));
    WNDCLASSW info;
    EXPECT_FALSE(GetClassInfoW(GetModuleHandleW(nullptr), cls.c_str(), &info));
}

// The binding messages are registered names any program can send: only the object's own
// construction and destruction may bind or unbind its window.
TEST(VNTWindow, BindingMessagesFromElsewhereChangeNothing) {
    ProbeWindow w, other;
    const HWND hwnd = w.windowHandle();
    SendMessageW(hwnd, VNTWindow::registerMessage(), 0, reinterpret_cast<LPARAM>(&other));
    SendMessageW(hwnd, VNTWindow::registerMessage(), 0, 0xDEADBEEF);
    PostMessageW(hwnd, VNTWindow::registerMessage(), 0, 0x10000);
    PostMessageW(hwnd, VNTWindow::deregisterMessage(), 0, 0);
    SendMessageW(hwnd, VNTWindow::deregisterMessage(), 0, 0);
    testsupport::pumpUntil([] { return false; }, 50);
    EXPECT_EQ(SendMessageW(hwnd, WM_APP + 5, 0, 0), 1234);
    EXPECT_TRUE(w.saw(WM_APP + 5));
    EXPECT_FALSE(other.saw(WM_APP + 5));
}

TEST(VNTWindow, BindMessagesAreRegisteredWindowMessages) {
    EXPECT_GE(VNTWindow::registerMessage(), 0xC000u);
    EXPECT_EQ(VNTWindow::registerMessage(), RegisterWindowMessageW(L"Vantor-REG-Object"));
    EXPECT_EQ(VNTWindow::deregisterMessage(), RegisterWindowMessageW(L"Vantor-DEREG-Object"));
}

}  // namespace
