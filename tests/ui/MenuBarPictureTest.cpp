// The bar and each of its panels as a person sees them, in the three languages: saved as BMP files
// when SKEO_SCREENSHOT_DIR names a folder. Each panel is taken together with the bar above it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "resources/resource.h"
#include "tests/support/WindowImage.h"
#include "tests/support/WindowPixels.h"
#include "tests/ui/MenuBarFixture.h"
#include "ui/MenuBarLayout.h"

using uitest::MenuBarTest;

namespace {

struct Shot {
    const wchar_t* name;
    int itemId;
    int mode;
    int exposureLevel;  // not 0: the slider panel under the exposure item
};

const Shot kShots[] = {
    {L"zoomcam", IDC_MENU_ZOOM_CAM, 0, 0},      {L"timer", IDC_MENU_TIMER, 0, 0},
    {L"mirror", IDC_MENU_MIRROR, 0, 0},         {L"resolution", IDC_MENU_RESOLUTION, 0, 0},
    {L"exposure", IDC_MENU_EXPOSURE, 0, 0},     {L"exposureslider", IDC_MENU_EXPOSURE, 0, 6},
    {L"exposuremode", IDC_MENU_EXPOSURE_MODE, 0, 0}, {L"zoompic", IDC_MENU_ZOOM_PIC, 1, 0},
    {L"rotate", IDC_MENU_ROTATE, 1, 0},         {L"delete", IDC_MENU_DELETE, 1, 0},
};

}  // namespace

class MenuBarPictureTest : public MenuBarTest {
protected:
    // A screenshot is taken from the screen, and is none where the window reaches past it.
    static bool onScreen(HWND window) {
        RECT rc{};
        GetWindowRect(window, &rc);
        return rc.left >= 0 && rc.top >= 0 && rc.right <= GetSystemMetrics(SM_CXSCREEN) &&
               rc.bottom <= GetSystemMetrics(SM_CYSCREEN);
    }
};

TEST_F(MenuBarPictureTest, TheBarAndEveryPanelInEveryLanguage) {
    const bool saving = GetEnvironmentVariableW(L"SKEO_SCREENSHOT_DIR", nullptr, 0) != 0;
    // The panels' pictures need the docked bar's width only: the host no wider than the screen has.
    RECT hostRect{};
    GetWindowRect(host_->hwnd(), &hostRect);
    const int hostWidth = std::min<int>(hostRect.right - hostRect.left, GetSystemMetrics(SM_CXSCREEN) - hostRect.left);
    SetWindowPos(host_->hwnd(), nullptr, 0, 0, hostWidth, hostRect.bottom - hostRect.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    bar().SetExposureControlKind(1);
    bar().ReflectCameraCommand(1, ID_MIRROR_HORIZONTAL);
    bar().ReflectCameraCommand(0, ID_EXPOSURE_MODE_ON);
    bar().ReflectCameraCommand(0, ID_RESOLUTION_1600X1200);
    for (LANGID language : {uitest::kEnglish, uitest::kChinese, uitest::kJapanese}) {
        const std::wstring tag = uitest::languageTag(language);
        setLanguage(language);
        bar().ReloadTexts();
        bar().SetMode(0);
        bar().ReflectCameraCommand(0, ID_EXPOSURE_PLUS1);

        const skeo::DisplayScale scale = this->scale();
        dock();
        pump();
        testsupport::WindowPixels docked(bar().hwnd());
        EXPECT_EQ(docked.width(), scale.px(menubar::kDockedWidth));
        EXPECT_EQ(docked.height(), scale.px(menubar::kDockedHeight));
        EXPECT_EQ(docked.at(scale.px(2), docked.height() / 2), RGB(85, 85, 85)) << "leading separator";
        EXPECT_EQ(saving, testsupport::saveWindowImage(bar().hwnd(), (L"menubar-" + tag + L"-docked").c_str()));
        floatBar();
        pump();
        testsupport::WindowPixels floating(bar().hwnd());
        EXPECT_EQ(floating.at(scale.px(5), floating.height() / 2), RGB(85, 85, 85)) << "leading separator";
        // At 200 % the floating bar is wider than the test display.
        if (onScreen(bar().hwnd())) {
            EXPECT_EQ(saving, testsupport::saveWindowImage(bar().hwnd(), (L"menubar-" + tag + L"-floating").c_str()));
        }
        dock();

        for (const Shot& shot : kShots) {
            SCOPED_TRACE(shot.name);
            bar().SetMode(shot.mode);
            if (shot.exposureLevel) bar().ReflectCameraCommand(shot.exposureLevel, ID_EXPOSURE_LEVEL);
            // The cursor on the item lights it, as when the user opens the panel.
            RECT rc{};
            GetWindowRect(item(shot.itemId).hwnd(), &rc);
            SetCursorPos(rc.left + scale.px(20), rc.top + scale.px(10));
            SendMessageW(item(shot.itemId).hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(scale.px(20), scale.px(10)));
            press(shot.itemId);
            CVNTUI_Skeo_MenuShow* panel = item(shot.itemId).panel();
            ASSERT_NE(panel, nullptr);
            EXPECT_EQ(panel->IsOpen(), shot.itemId != IDC_MENU_DELETE);
            if (panel->IsOpen())
                SendMessageW(panel->hwnd(), WM_MOUSEMOVE, 0,
                             MAKELPARAM(scale.px(40), menubar::rowTop(panel->rowCount() - 1, scale) + scale.px(5)));
            pump();
            const std::wstring name = L"menubar-" + tag + L"-panel-" + shot.name;
            ASSERT_TRUE(onScreen(host_->hwnd()));
            EXPECT_EQ(saving, testsupport::saveWindowImage(host_->hwnd(), name.c_str()));
            if (panel->IsOpen()) panel->Close();
            commands();
            if (shot.exposureLevel) bar().ReflectCameraCommand(0, ID_EXPOSURE_PLUS1);
        }
    }
}
