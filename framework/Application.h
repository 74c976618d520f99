// The application object of a GUI program: start and exit hooks, an optional message loop,
// the main-window pointer and handlers for registered thread messages.
#pragma once

#include <windows.h>

#include <functional>
#include <map>

namespace vnt {

class CWindowBase;

class CApplication {
public:
    // The process has one application object, usually a global; the entry routine runs it.
    CApplication();
    virtual ~CApplication();
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;

    static CApplication* current();

    // Entry: the start hook, then the message loop if the hook asks for one, then the exit hook.
    int Run();

    // Start hook; returning false skips the message loop. The default does nothing and says so.
    virtual bool InitInstance();
    // Exit hook; its result is the process exit code.
    virtual int ExitInstance();

    CWindowBase* mainWindow() const { return mainWindow_; }
    void setMainWindow(CWindowBase* window) { mainWindow_ = window; }

    // Thread messages (posted to the thread, not to a window) with this number are handed to the
    // handler on the user-interface thread, in any message loop, modal ones included.
    void addThreadMessageHandler(UINT message, std::function<void(WPARAM, LPARAM)> handler);

protected:
    // A quit message reached a message loop the system runs (a modal dialog's), which would end
    // only that loop. True when the program took its own way out instead: the message is dropped.
    virtual bool OnQuitMessage() { return false; }

private:
    static LRESULT CALLBACK getMessageHook(int code, WPARAM wParam, LPARAM lParam);
    bool dispatchThreadMessage(const MSG& msg);

    CWindowBase* mainWindow_ = nullptr;
    std::map<UINT, std::function<void(WPARAM, LPARAM)>> threadHandlers_;
    HHOOK hook_ = nullptr;
    DWORD uiThread_ = 0;
};

}  // namespace vnt
