#include "app/SingleInstanceApp.h"

#include "app/StartupCommandLine.h"
#include "framework/Trace.h"
#include "framework/Window.h"
#include "resources/resource.h"

const wchar_t kSingleInstanceName[] = L"{30DEE059-DF1F-4b64-8922-D2AB7935D7B3}";

namespace {
UINT g_instanceMessage = 0;
}

UINT SingleInstanceApp::instanceMessage() { return g_instanceMessage; }

SingleInstanceApp::SingleInstanceApp() {
    g_instanceMessage = RegisterWindowMessageW(kSingleInstanceName);

    SetLastError(0);
    mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(SingleInstanceBlock),
                                  kSingleInstanceName);
    const DWORD error = GetLastError();
    if (mapping_) {
        firstInstance_ = (error == 0);
        view_ = static_cast<SingleInstanceBlock*>(
            MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, sizeof(SingleInstanceBlock)));
    }

    if (!view_) {
        // Neither role works without the block; better a second window than no program at all.
        vnt::trace(L"SingleInstanceApp: shared block unavailable (error %lu), running as first instance",
                   static_cast<unsigned long>(mapping_ ? GetLastError() : error));
        firstInstance_ = true;
        return;
    }

    if (firstInstance_) {
        view_->threadId = GetCurrentThreadId();
        view_->commandLine[0] = L'\0';
        vnt::trace(L"SingleInstanceApp: first instance, thread %lu", static_cast<unsigned long>(view_->threadId));
    } else {
        skeo::copyBounded(view_->commandLine, sizeof view_->commandLine / sizeof view_->commandLine[0],
                          GetCommandLineW());
        const DWORD target = view_->threadId;
        vnt::trace(L"SingleInstanceApp: second instance, waking thread %lu", static_cast<unsigned long>(target));
        PostThreadMessageW(target, g_instanceMessage, 0, 0);
    }
}

SingleInstanceApp::~SingleInstanceApp() {
    if (view_) UnmapViewOfFile(view_);
    if (mapping_) CloseHandle(mapping_);
}

CSingleInstanceApp::CSingleInstanceApp() {
    addThreadMessageHandler(instanceMessage(), [this](WPARAM, LPARAM) { OnAnotherInstance(); });
}

void CSingleInstanceApp::OnAnotherInstance() {
    vnt::trace(L"CSingleInstanceApp: another instance started, sending Open");
    if (vnt::CWindowBase* main = mainWindow())
        SendMessageW(main->hwnd(), WM_COMMAND, MAKEWPARAM(ID_TRAY_OPEN, 0), 0);
}

bool CSingleInstanceApp::OnQuitMessage() {
    vnt::CWindowBase* main = mainWindow();
    if (!main || !main->hwnd()) return false;
    vnt::trace(L"CSingleInstanceApp: quit message, taking the Close path");
    SendMessageW(main->hwnd(), WM_COMMAND, MAKEWPARAM(ID_TRAY_CLOSE, 0), 0);
    return true;
}
