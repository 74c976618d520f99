// The application object of Skeo: single instance, COM and GDI+, and the modal main window.
#pragma once

#include "app/SingleInstanceApp.h"
#include "framework/GdiplusSession.h"

class CSkeoApp : public CSingleInstanceApp {
public:
    CSkeoApp();
    ~CSkeoApp() override;

    bool InitInstance() override;

private:
    vnt::GdiplusSession gdiplus_;
};
