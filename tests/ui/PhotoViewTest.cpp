// The photo view: fitting, zooming and dragging as seen on screen, the file put on the clipboard,
// and the information line under it.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "tests/support/TempFolder.h"
#include "tests/support/TestPhotos.h"
#include "tests/support/WindowImage.h"
#include "tests/support/WindowPixels.h"
#include "tests/toolkit/ToolkitFixture.h"
#include "ui/CVNTUI_Skeo_PhotoInfoStatic.h"
#include "ui/CVNTUI_Skeo_PhotoWnd.h"

using testsupport::closeColour;
using testsupport::kQuadrantBottomLeft;
using testsupport::kQuadrantBottomRight;
using testsupport::kQuadrantTopLeft;
using testsupport::kQuadrantTopRight;

namespace {

const COLORREF kPanel = RGB(40, 40, 40);

class PhotoViewTest : public toolkittest::ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        ASSERT_TRUE(view_.Create(host_->hwnd(), 1001, RECT{0, 0, 640, 480}));
        view_.SetBoxSize(640, 480);
    }
    std::wstring photo(const std::wstring& name, int width, int height) {
        const std::wstring path = folder_.path() + name;
        EXPECT_TRUE(testsupport::writeQuadrantPhoto(path, width, height));
        return path;
    }
    COLORREF pixel(int x, int y) { return testsupport::WindowPixels(view_.hwnd()).at(x, y); }
    void drag(POINT from, POINT to) {
        SendMessageW(view_.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        SendMessageW(view_.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM((from.x + to.x) / 2, (from.y + to.y) / 2));
        SendMessageW(view_.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        SendMessageW(view_.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    }

    testsupport::TempFolder folder_{L"photo-view-test"};
    CVNTUI_Skeo_PhotoWnd view_;
};

TEST_F(PhotoViewTest, ZoomedPhotoStartsAtItsMiddleAndDragsToItsEdges) {
    ASSERT_EQ(1, view_.LoadAndRender(photo(L"vga.jpg", 640, 480), true));
    EXPECT_FALSE(view_.layout().canPan()) << "1:1 in a view of its size";
    EXPECT_TRUE(closeColour(pixel(5, 5), kQuadrantTopLeft, 12));
    EXPECT_TRUE(closeColour(pixel(634, 474), kQuadrantBottomRight, 12));
    drag({300, 200}, {100, 100});
    EXPECT_TRUE(closeColour(pixel(5, 5), kQuadrantTopLeft, 12)) << "nothing to drag";

    view_.SetZoomStep(3);  // 1280 x 960, its middle shown: the four quadrants meet at the centre
    EXPECT_EQ(1280, view_.layout().scaled.width);
    EXPECT_TRUE(closeColour(pixel(300, 220), kQuadrantTopLeft, 12));
    EXPECT_TRUE(closeColour(pixel(340, 260), kQuadrantBottomRight, 12));
    testsupport::saveWindowImage(view_.hwnd(), L"photo-view-zoomed");

    drag({100, 100}, {600, 450});  // towards the top-left corner, and past it
    drag({100, 100}, {600, 450});
    EXPECT_EQ(0, view_.layout().x.source);
    EXPECT_EQ(0, view_.layout().y.source);
    EXPECT_TRUE(closeColour(pixel(630, 470), kQuadrantTopLeft, 12)) << "the whole view is the top-left quarter";
    drag({600, 450}, {0, 0});
    drag({600, 450}, {0, 0});
    EXPECT_EQ(640, view_.layout().x.source);
    EXPECT_EQ(480, view_.layout().y.source);
    EXPECT_TRUE(closeColour(pixel(5, 5), kQuadrantBottomRight, 12));
    EXPECT_FALSE(view_.dragging());

    // Back to 100 %: fitted again, and no longer draggable.
    view_.SetZoomStep(0);
    EXPECT_FALSE(view_.layout().canPan());
    EXPECT_TRUE(closeColour(pixel(5, 474), kQuadrantBottomLeft, 12));
}

TEST_F(PhotoViewTest, PortraitIsFittedToTheHeightAndCentred) {
    ASSERT_EQ(1, view_.LoadAndRender(photo(L"portrait.jpg", 1200, 1600), true));
    // 360 x 480 from x 140.
    EXPECT_EQ(kPanel, pixel(135, 240));
    EXPECT_TRUE(closeColour(pixel(145, 5), kQuadrantTopLeft, 12));
    EXPECT_TRUE(closeColour(pixel(494, 474), kQuadrantBottomRight, 12));
    EXPECT_EQ(kPanel, pixel(505, 240));
    testsupport::saveWindowImage(view_.hwnd(), L"photo-view-portrait");

    // Cleared: the background only.
    view_.ReleasePicture();
    EXPECT_EQ(0, view_.Render());
    EXPECT_EQ(kPanel, pixel(320, 240));
}

TEST_F(PhotoViewTest, CopyPutsTheFileWithItsWideNameOnTheClipboard) {
    // Outside every ANSI code page at once: katakana, kanji and a Greek letter.
    const std::wstring path = photo(L"\x30AB\x30E1\x30E9\x5199\x771F \x03A9.jpg", 320, 240);
    ASSERT_EQ(1, view_.LoadAndRender(path, true));
    ASSERT_EQ(1, view_.CopyToClipboard());
    ASSERT_TRUE(OpenClipboard(host_->hwnd()));
    HANDLE data = GetClipboardData(CF_HDROP);
    ASSERT_NE(nullptr, data);
    const auto* header = static_cast<const DROPFILES*>(GlobalLock(data));
    ASSERT_NE(nullptr, header);
    EXPECT_TRUE(header->fWide);
    EXPECT_EQ(sizeof(DROPFILES), header->pFiles);
    GlobalUnlock(data);
    auto drop = static_cast<HDROP>(data);
    EXPECT_EQ(1u, DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0));
    wchar_t got[MAX_PATH] = {};
    DragQueryFileW(drop, 0, got, MAX_PATH);
    CloseClipboard();
    EXPECT_EQ(path, std::wstring(got));

    view_.ReleasePicture();
    EXPECT_EQ(0, view_.CopyToClipboard()) << "no photo, nothing to copy";
}

class PhotoInfoTest : public toolkittest::ToolkitTest {};

TEST_F(PhotoInfoTest, NamesAreCutAtThirtyAndTheTipKeepsThemWhole) {
    CVNTUI_Skeo_PhotoInfoStatic line;
    ASSERT_TRUE(line.CreateEx(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 400, 700, 14, host_->hwnd(), 1008));
    line.UpdateText();
    wchar_t text[256];
    GetWindowTextW(line.hwnd(), text, 256);
    EXPECT_STREQ(L"No Pictures", text);
    EXPECT_EQ(0, line.gapOffset(0));
    EXPECT_EQ(0, line.gapOffset(2));
    EXPECT_GT(line.textWidth(), 0);

    const std::wstring name29 = L"IMG_20261208_235959_ABCDE.jpg";
    ASSERT_EQ(29u, name29.size());
    line.SetFileName(name29);
    line.SetDate(L"2026-12-08");
    line.SetResolution(L"1600x1200");
    line.SetFileSize(L"512 KB");
    line.UpdateText();
    GetWindowTextW(line.hwnd(), text, 256);
    EXPECT_EQ(L" / " + name29 + L"        2026-12-08        1600x1200        512 KB", std::wstring(text));
    EXPECT_LT(0, line.gapOffset(0));
    EXPECT_LT(line.gapOffset(0), line.gapOffset(1));
    EXPECT_LT(line.gapOffset(1), line.gapOffset(2));
    EXPECT_LT(line.gapOffset(2), line.textWidth());

    const std::wstring name30 = L"IMG_20261208_235959_ABCDEF.jpg";
    line.SetFileName(name30);
    line.UpdateText();
    GetWindowTextW(line.hwnd(), text, 256);
    EXPECT_EQ(0, std::wstring(text).find(L" / " + name30.substr(0, 26) + L"...    "));
    EXPECT_EQ(L" / " + name30 + L"    |    2026-12-08    |    1600x1200    |    512 KB", line.tooltip().text());
}

TEST_F(PhotoInfoTest, ShowsThePhotoFileAndItsLocalDay) {
    testsupport::TempFolder folder(L"photo-info-test");
    const std::wstring path = folder.path() + L"IMG_1.jpg";
    ASSERT_TRUE(testsupport::writeQuadrantPhoto(path, 640, 480));
    CVNTUI_Skeo_PhotoInfoStatic line;
    line.SetPhoto(path, 640, 480);
    EXPECT_EQ(L"IMG_1.jpg", line.fileName());
    EXPECT_EQ(L"640x480", line.resolution());
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    ASSERT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes));
    EXPECT_EQ(std::to_wstring(attributes.nFileSizeLow / 1024) + L" KB", line.fileSize());
    EXPECT_EQ(10u, line.date().size());

    // The test runs in Taipei (UTC+8, CTest sets TZ): 20:30 universal time on 7 December is
    // 04:30 on the 8th there, the day the user took the photo.
    SYSTEMTIME universal{2026, 12, 1, 7, 20, 30, 0, 0};
    FILETIME utc;
    ASSERT_TRUE(SystemTimeToFileTime(&universal, &utc));
    EXPECT_EQ(L"2026-12-08", CVNTUI_Skeo_PhotoInfoStatic::FormatDate(utc));

    // A missing file keeps the date and size it had.
    line.SetPhoto(folder.path() + L"gone.jpg", 100, 50);
    EXPECT_EQ(L"gone.jpg", line.fileName());
    EXPECT_EQ(std::to_wstring(attributes.nFileSizeLow / 1024) + L" KB", line.fileSize());
}

}  // namespace
