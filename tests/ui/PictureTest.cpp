// The picture control's size rules, the camera view's click, and the resize strips' drags.
#include <gtest/gtest.h>

#include "framework/Dpi.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestPhotos.h"
#include "tests/support/WindowPixels.h"
#include "tests/toolkit/ToolkitFixture.h"
#include "toolkit/CGdiPlusBitmap.h"
#include "ui/CVNTUI_Skeo_Border.h"
#include "ui/CVNTUI_Skeo_CameraWnd.h"
#include "ui/CVNTUI_StaticPicture.h"

using testsupport::closeColour;

namespace {

class PictureTest : public toolkittest::ToolkitTest {
protected:
    // The size of the image the control was given; (0, 0) when it has none.
    static SIZE shownSize(const CVNTUI_StaticPicture& control) {
        HBITMAP image = reinterpret_cast<HBITMAP>(SendMessageW(control.hwnd(), STM_GETIMAGE, IMAGE_BITMAP, 0));
        BITMAP info{};
        if (!image || !GetObjectW(image, sizeof info, &info)) return SIZE{0, 0};
        return SIZE{info.bmWidth, info.bmHeight};
    }
    std::wstring photo(const wchar_t* name, int width, int height) {
        const std::wstring path = folder_.path() + name;
        EXPECT_TRUE(testsupport::writeQuadrantPhoto(path, width, height));
        return path;
    }

    testsupport::TempFolder folder_{L"picture-test"};
};

TEST_F(PictureTest, ShowsEachPictureAtTheSizeItsShapeAsksFor) {
    CVNTUI_StaticPicture control;
    ASSERT_TRUE(control.Create(host_->hwnd(), 1001, RECT{0, 0, 640, 480}));
    control.SetBoxSize(640, 480);
    const struct {
        const wchar_t* name;
        int width, height;
        int step;
        LONG shownWidth, shownHeight;
    } cases[] = {
        {L"large.jpg", 1600, 1200, 0, 640, 480},   // fitted into the box
        {L"wide.jpg", 1920, 1080, 0, 640, 480},    // into the box too, aspect and all
        {L"tall.jpg", 1200, 1600, 0, 360, 480},    // 3:4 at the control's height
        {L"small.jpg", 200, 150, 2, 300, 225},     // its own size times 1.5
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        control.SetZoomStep(c.step);
        EXPECT_EQ(1, control.LoadAndRender(photo(c.name, c.width, c.height), true));
        const SIZE shown = shownSize(control);
        EXPECT_EQ(c.shownWidth, shown.cx);
        EXPECT_EQ(c.shownHeight, shown.cy);
        EXPECT_EQ(0, control.LoadAndRender(folder_.path() + c.name, true)) << "the same file is not loaded again";
    }
    testsupport::WindowPixels pixels(control.hwnd());
    EXPECT_TRUE(closeColour(pixels.at(320 - 140, 240 - 100), testsupport::kQuadrantTopLeft, 12));
    EXPECT_TRUE(closeColour(pixels.at(320 + 140, 240 + 100), testsupport::kQuadrantBottomRight, 12));

    // Garbage and missing files leave no picture, and the control shows none.
    const std::wstring garbage = folder_.path() + L"garbage.jpg";
    ASSERT_TRUE(testsupport::writeFile(garbage, std::string(5000, '\x5a')));
    EXPECT_EQ(-1, control.LoadAndRender(garbage, false));
    EXPECT_FALSE(control.hasPicture());
    EXPECT_EQ(0, control.Render());
    EXPECT_EQ(0, shownSize(control).cx);
    EXPECT_EQ(1, control.Load(folder_.path() + L"large.jpg", false));
    EXPECT_EQ(-1, control.Load(folder_.path() + L"missing.jpg", true));
    EXPECT_FALSE(control.hasPicture());
    EXPECT_TRUE(control.pictureFileName().empty());
}

TEST_F(PictureTest, CameraViewIsBlackAndReportsClicksBeforeHandlingThem) {
    CVNTUI_Skeo_CameraWnd view;
    ASSERT_TRUE(view.create(host_->hwnd(), 1000, RECT{10, 10, 330, 250}, host_->hwnd()));
    testsupport::WindowPixels pixels(view.hwnd());
    EXPECT_EQ(RGB(0, 0, 0), pixels.at(160, 120));
    SendMessageW(view.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ASSERT_EQ(1u, host_->records().size());
    EXPECT_EQ(MSG_CAMERA_CLICKED, host_->records()[0].message);
    EXPECT_EQ(0u, host_->records()[0].wParam);

    CVNTUI_Skeo_CameraWnd silent;
    ASSERT_TRUE(silent.create(host_->hwnd(), 1003, RECT{340, 10, 400, 60}, nullptr));
    SendMessageW(silent.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(1u, host_->records().size());
}

TEST_F(PictureTest, StripHoldsTheMouseAndForwardsDragsInScreenCoordinates) {
    host_->recordAlso(WM_MOUSEMOVE);
    CVNTUI_Skeo_Border strip(LoadCursorW(nullptr, IDC_SIZEWE));
    ASSERT_TRUE(strip.Create(host_->hwnd(), 1005, RECT{700, 50, 703, 480}));
    SendMessageW(strip.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 10));
    EXPECT_EQ(strip.hwnd(), GetCapture());
    // Far outside the strip, as a person dragging wide does.
    SendMessageW(strip.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(400, 300));
    SendMessageW(strip.hwnd(), WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON, MAKELPARAM(420, 300));
    SendMessageW(strip.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(450, 310));
    std::vector<POINT> forwarded;
    for (const auto& r : host_->records())
        if (r.message == WM_MOUSEMOVE && r.wParam == MK_LBUTTON) forwarded.push_back(vnt::PointFromLParam(r.lParam));
    POINT first{400, 300}, last{450, 310};
    ClientToScreen(strip.hwnd(), &first);
    ClientToScreen(strip.hwnd(), &last);
    ASSERT_EQ(2u, forwarded.size()) << "a move with another button held is not a resize";
    EXPECT_EQ(first.x, forwarded[0].x);
    EXPECT_EQ(first.y, forwarded[0].y);
    EXPECT_EQ(last.x, forwarded[1].x);
    SendMessageW(strip.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(450, 310));
    EXPECT_EQ(nullptr, GetCapture());
    host_->records().clear();
    SendMessageW(strip.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(1, 20));
    EXPECT_TRUE(host_->records().empty()) << "without the capture nothing is forwarded";
    EXPECT_EQ(RGB(40, 40, 40), testsupport::WindowPixels(strip.hwnd()).at(1, 100));
}

// At 192 DPI the grip is the 200 % image (id + 3000), 12 pixels square, not the 100 % one grown.
TEST_F(PictureTest, GripShowsItsImageOfTheDpiOnThePanelColour) {
    const int dpi = vnt::windowDpi(nullptr);
    ASSERT_TRUE(dpi == 96 || dpi == 192) << "a run at " << dpi << " DPI has no known skin set";
    const int size = vnt::scalePx(6, dpi);
    CVNTUI_Skeo_BorderResizeAid grip(LoadCursorW(nullptr, IDC_HAND));
    ASSERT_TRUE(grip.Create(host_->hwnd(), 1007, RECT{600, 400, 600 + size, 400 + size}));
    EXPECT_EQ(grip.gripSize(), size);
    CGdiPlusBitmapResource image;
    ASSERT_TRUE(image.Load(dpi == 192 ? 409 + 3000 : 409));
    ASSERT_EQ(image.width(), size);
    testsupport::WindowPixels pixels(grip.hwnd());
    int matching = 0, nonPanel = 0;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            Gdiplus::Color c;
            image.bitmap()->GetPixel(x, y, &c);
            // The skin pixel blended over the panel colour by its alpha.
            const int a = c.GetA();
            const COLORREF expected = RGB((c.GetR() * a + 40 * (255 - a)) / 255, (c.GetG() * a + 40 * (255 - a)) / 255,
                                          (c.GetB() * a + 40 * (255 - a)) / 255);
            if (closeColour(pixels.at(x, y), expected, 3)) ++matching;
            if (pixels.at(x, y) != RGB(40, 40, 40)) ++nonPanel;
        }
    EXPECT_EQ(size * size, matching);
    EXPECT_GT(nonPanel, 0) << "the grip image is visible";
}

}  // namespace
