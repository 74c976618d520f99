#include "app/SkeoApp.h"

#include <commctrl.h>

#include <string>

#include "app/StartupCommandLine.h"
#include "app/VNTSkeoMainWnd.h"
#include "framework/CrashDump.h"
#include "framework/Trace.h"
#include "framework/Window.h"
#include "resources/resource.h"

CSkeoApp::CSkeoApp() {
    // First, so that a fault anywhere after leaves something to read.
    const char version[] = SKEO_VERSION_TEXT;
    vnt::CrashDumps::install(vnt::CrashDumps::defaultFolder(L"Vantor", L"Skeo"), L"Skeo",
                             std::wstring(version, version + sizeof version - 1));
    if (gdiplus_.token() == 0) {
        // Failures are ignored: the program still runs, only without pictures where GDI+ is needed.
        CoInitialize(nullptr);
        gdiplus_.startup();
    }
}

CSkeoApp::~CSkeoApp() {
    if (gdiplus_.token() != 0) {
        CoUninitialize();
        gdiplus_.shutdown();
    }
}

bool CSkeoApp::InitInstance() {
    if (!isFirstInstance()) return false;

    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = 8;
    icc.dwICC = 0xFF;
    InitCommonControlsEx(&icc);

    CSingleInstanceApp::InitInstance();

    VNTSkeoMainWnd mainWindow;
    setMainWindow(&mainWindow);
    if (skeo::isStartAtLogOnCommandLine(GetCommandLineW())) mainWindow.setStartedAtLogOn(true);
    vnt::trace(L"CSkeoApp: running the main window%ls", mainWindow.startedAtLogOn() ? L" (started at log-on)" : L"");
    SetLastError(0);
    const INT_PTR result = mainWindow.DoModal();
    const DWORD error = GetLastError();
    setMainWindow(nullptr);
    vnt::trace(L"CSkeoApp: main window ended (%lld, error %lu)", static_cast<long long>(result), error);
    return false;
}

// The one application object, built before the entry routine runs.
CSkeoApp theApp;
