#include "framework/Application.h"

namespace vnt {
namespace {
CApplication* g_application = nullptr;
}

CApplication::CApplication() { g_application = this; }

CApplication::~CApplication() {
    if (hook_) UnhookWindowsHookEx(hook_);
    if (g_application == this) g_application = nullptr;
}

CApplication* CApplication::current() { return g_application; }

void CApplication::addThreadMessageHandler(UINT message, std::function<void(WPARAM, LPARAM)> handler) {
    threadHandlers_[message] = std::move(handler);
}

bool CApplication::dispatchThreadMessage(const MSG& msg) {
    if (msg.hwnd != nullptr) return false;
    auto it = threadHandlers_.find(msg.message);
    if (it == threadHandlers_.end()) return false;
    it->second(msg.wParam, msg.lParam);
    return true;
}

// A message loop run by the system (DialogBox, menus, message boxes) drops thread messages
// because they have no window to go to; the hook sees every message taken from the queue.
LRESULT CALLBACK CApplication::getMessageHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE && g_application) {
        MSG* msg = reinterpret_cast<MSG*>(lParam);
        if (msg->message == WM_QUIT ? g_application->OnQuitMessage() : g_application->dispatchThreadMessage(*msg))
            msg->message = WM_NULL;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

int CApplication::Run() {
    uiThread_ = GetCurrentThreadId();
    if (!hook_)
        hook_ = SetWindowsHookExW(WH_GETMESSAGE, &CApplication::getMessageHook, nullptr, uiThread_);
    if (InitInstance()) {
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return ExitInstance();
}

bool CApplication::InitInstance() { return true; }

int CApplication::ExitInstance() { return 0; }

}  // namespace vnt
