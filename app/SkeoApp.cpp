#include "app/SkeoApp.h"

#include <commctrl.h>

#include "app/StartupCommandLine.h"
#include "app/VNTSkeoMainWnd.h"
#include "framework/Trace.h"
#include "framework/Window.h"

CSkeoApp::CSkeoApp() {
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

namespace {

// The main dialog's template names its own class: a copy of the system dialog class.
void registerMainDialogClass() {
    HINSTANCE module = vnt::resourceModule();
    WNDCLASSW wc{};
    if (!GetClassInfoW(module, L"#32770", &wc)) return;
    wc.hInstance = module;
    wc.lpszClassName = L"VNTUI_Skeo_MainDlg";
    if (!RegisterClassW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        vnt::trace(L"CSkeoApp: cannot register VNTUI_Skeo_MainDlg (error %lu)", GetLastError());
}

}  // namespace

bool CSkeoApp::InitInstance() {
    if (!isFirstInstance()) return false;

    INITCOMMONCONTROLSEX icc{};
    icc.dwSize = 8;
    icc.dwICC = 0xFF;
    InitCommonControlsEx(&icc);

    registerMainDialogClass();
    CSingleInstanceApp::InitInstance();

    VNTSkeoMainWnd mainWindow;
    setMainWindow(&mainWindow);
    if (skeo::isStartAtLogOnCommandLine(GetCommandLineW())) mainWindow.setStartedAtLogOn(true);
    vnt::trace(L"CSkeoApp: running the main window%ls", mainWindow.startedAtLogOn() ? L" (started at log-on)" : L"");
    mainWindow.DoModal();
    setMainWindow(nullptr);
    vnt::trace(L"CSkeoApp: main window ended");
    return false;
}

// The one application object, built before the entry routine runs.
CSkeoApp theApp;
