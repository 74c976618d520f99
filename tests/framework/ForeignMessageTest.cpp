// Messages another program can send with any numbers in them: a window of ours reads no pointer
// out of them and stays what it was.
#include "framework/Dialog.h"
#include "framework/Dpi.h"
#include "framework/Wnd.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <thread>

namespace {

// Sends from a thread of its own, as another process would, while this thread keeps answering.
void sendFromElsewhere(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    std::atomic<bool> sent{false};
    std::thread sender([&] {
        DWORD_PTR result = 0;
        SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 5000, &result);
        sent = true;
    });
    while (!sent) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    sender.join();
}

class Probe : public vnt::CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_NOTIFY) ++notifications;
        if (message == WM_DPICHANGED) ++dpiChanges;
        return CWnd::WindowProc(message, wParam, lParam);
    }
    int notifications = 0;
    int dpiChanges = 0;
};

}  // namespace

TEST(ForeignMessageTest, ANotificationFromAnotherThreadIsNotReadAsMemory) {
    Probe window;
    ASSERT_TRUE(window.CreateEx(0, L"STATIC", L"", WS_POPUP, 0, 0, 20, 20, nullptr, 0));
    for (LPARAM junk : {LPARAM(0x10), LPARAM(0xDEADBEEF), LPARAM(-1)}) sendFromElsewhere(window.hwnd(), WM_NOTIFY, 7, junk);
    EXPECT_EQ(window.notifications, 0);
    EXPECT_EQ(vnt::CWindowBase::fromHandle(window.hwnd()), &window);

    // Our own notifications still arrive.
    NMHDR header{window.hwnd(), 7, NM_CLICK};
    SendMessageW(window.hwnd(), WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&header));
    EXPECT_EQ(window.notifications, 1);
}

TEST(ForeignMessageTest, ACreationMessageFromElsewhereBindsNothing) {
    Probe window;
    ASSERT_TRUE(window.CreateEx(0, L"STATIC", L"", WS_POPUP, 0, 0, 20, 20, nullptr, 0));
    CREATESTRUCTW junk{};
    junk.lpCreateParams = reinterpret_cast<void*>(0xDEADBEEF);
    sendFromElsewhere(window.hwnd(), WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&junk));
    EXPECT_EQ(vnt::CWindowBase::fromHandle(window.hwnd()), &window);
}

TEST(ForeignMessageTest, ADpiChangeWithoutARectangleOfOursIsNotRead) {
    Probe window;
    ASSERT_TRUE(window.CreateEx(0, L"STATIC", L"", WS_POPUP, 0, 0, 20, 20, nullptr, 0));
    for (LPARAM junk : {LPARAM(0), LPARAM(0x10), LPARAM(-1)})
        sendFromElsewhere(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(192, 192), junk);
    EXPECT_EQ(window.dpiChanges, 0);

    RECT suggested{0, 0, 100, 100};
    SendMessageW(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    EXPECT_EQ(window.dpiChanges, 1);
}
