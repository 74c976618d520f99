// The program's entry routine: the global application object was built before it runs.
#include <windows.h>

#include "framework/Application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    vnt::CApplication* app = vnt::CApplication::current();
    return app ? app->Run() : 1;
}
