// Every skinned control in one window, as a person sees them: the picture is saved when
// SKEO_SCREENSHOT_DIR names a folder.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "tests/support/WindowImage.h"
#include "tests/support/WindowPixels.h"
#include "tests/toolkit/ToolkitFixture.h"
#include "toolkit/CColorStatic.h"
#include "toolkit/CGdipButton.h"
#include "toolkit/CGdipSlider.h"
#include "toolkit/CSkinScrollWnd.h"
#include "toolkit/CVNTUI_Window.h"
#include "toolkit/CXHyperLink.h"

using toolkittest::ToolkitTest;

class GalleryTest : public ToolkitTest {};

TEST_F(GalleryTest, EveryControlDrawsFromItsSkin) {
    const int W = 720;
    vnt::BackBuffer& back = host_->backBuffer();
    back.fill(RECT{0, 0, W, 50}, RGB(61, 179, 204));
    CGdiPlusBitmapResource header;
    ASSERT_TRUE(header.Load(300));
    header.draw(back.dc(), 48, 0);
    InvalidateRect(host_->hwnd(), nullptr, FALSE);

    CGdipButton top[4];
    const UINT images[4][2] = {{301, 302}, {304, 305}, {307, 308}, {310, 311}};
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(top[i].SetImage(images[i][0]));
        top[i].SetHoverImage(images[i][1]);
        ASSERT_TRUE(top[i].Create(host_->hwnd(), 1013 + i, W - 104 + 24 * i, 9));
        top[i].RefreshBackground(back.dc());
    }
    SendMessageW(top[0].hwnd(), WM_MOUSEHOVER, 0, 0);  // one hovered, to see the hover image

    CGdipButton tabs[3];
    const UINT tabImages[3][2] = {{317, 317}, {321, 323}, {318, 319}};
    for (int i = 0; i < 3; ++i) {
        tabs[i].SetPressOffset(false);
        ASSERT_TRUE(tabs[i].SetImage(tabImages[i][0]));
        tabs[i].SetHoverImage(tabImages[i][1]);
        ASSERT_TRUE(tabs[i].Create(host_->hwnd(), 1017 + i, 0, 124 + 70 * i));
        tabs[i].RefreshBackground(back.dc());
    }

    CGdipButton photo[3];
    const UINT photoImages[3] = {400, 403, 406};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(photo[i].SetImage(photoImages[i]));
        ASSERT_TRUE(photo[i].Create(host_->hwnd(), 1020 + i, 70 + 30 * i, 440));
        photo[i].RefreshBackground(back.dc());
    }
    photo[2].EnableButton(false);  // and one disabled

    CGdipSlider slider;
    ASSERT_TRUE(slider.LoadTrackImage(360));
    ASSERT_TRUE(slider.LoadThumbImages(361, 362));
    ASSERT_TRUE(slider.Create(host_->hwnd(), 1024, 80, 70));
    slider.SetMargins(0, 10);
    slider.SetThumbCrossOffset(58);
    slider.SetRange(1, 15);
    slider.SetPos(12);
    slider.RefreshBackground(back.dc());

    CColorStatic hint;
    ASSERT_TRUE(hint.CreateEx(0, L"STATIC", L"Press Enter to take snapshot.", WS_CHILD | WS_VISIBLE, 200, 70, 260, 16,
                              host_->hwnd(), 1009));
    SendMessageW(hint.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    hint.SetTextColor(RGB(170, 170, 170));
    hint.SetBkColor(RGB(40, 40, 40));

    HWND linkWindow = CreateWindowExW(0, L"STATIC", L"www.vantor.example", WS_CHILD | WS_VISIBLE, 200, 100, 260, 16,
                                      host_->hwnd(), reinterpret_cast<HMENU>(2005), GetModuleHandleW(nullptr), nullptr);
    HFONT tahoma = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma");
    SendMessageW(linkWindow, WM_SETFONT, reinterpret_cast<WPARAM>(tahoma), FALSE);
    CXHyperLink link;
    ASSERT_TRUE(link.Attach(linkWindow));
    link.SetColours(RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255));

    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER, 200, 140,
                                480, 120, host_->hwnd(), reinterpret_cast<HMENU>(1002), GetModuleHandleW(nullptr), nullptr);
    ListView_SetBkColor(list, RGB(40, 40, 40));
    ListView_SetTextBkColor(list, RGB(40, 40, 40));
    ListView_SetTextColor(list, RGB(170, 170, 170));
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 900;  // wider than the list: both bars
    ListView_InsertColumn(list, 0, &column);
    for (int i = 0; i < 60; ++i) {
        std::wstring text = L"Photo " + std::to_wstring(i + 1);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        ListView_InsertItem(list, &item);
    }
    HBITMAP skin = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(513), IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(skin, nullptr);
    CSkinScrollWnd frame;
    ASSERT_TRUE(frame.Attach(skin, list));
    EXPECT_TRUE(IsWindowVisible(frame.verticalBar().hwnd()));
    EXPECT_TRUE(IsWindowVisible(frame.horizontalBar().hwnd()));

    // A popup beside the host, as the option panels and indicators are.
    CVNTUI_Window popup;
    ASSERT_TRUE(popup.Create(host_->hwnd(), 110, 72));
    EXPECT_TRUE(GetWindowLongPtrW(popup.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(GetWindowLongPtrW(popup.hwnd(), GWL_EXSTYLE) & WS_EX_NOACTIVATE);
    CGdiPlusBitmapResource check;
    ASSERT_TRUE(check.Load(348));
    check.draw(popup.backBuffer().dc(), 0, 8);
    RECT hoverRow{0, 28, 110, 48};
    popup.backBuffer().fill(hoverRow, RGB(102, 102, 102));
    SetWindowPos(popup.hwnd(), nullptr, 40 + 470, 40 + 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    pump();

    // The popup shows its back buffer.
    testsupport::WindowPixels popupPixels(popup.hwnd());
    EXPECT_EQ(popupPixels.at(50, 60), RGB(40, 40, 40));
    EXPECT_EQ(popupPixels.at(50, 38), RGB(102, 102, 102));

    // The header band and the picture of a tab are on the screen.
    testsupport::WindowPixels hostPixels(host_->hwnd());
    EXPECT_EQ(hostPixels.at(10, 10), RGB(61, 179, 204));
    EXPECT_EQ(hostPixels.at(600, 470), RGB(40, 40, 40));
    testsupport::saveWindowImage(host_->hwnd(), L"toolkit-gallery");
    frame.Detach();
    DestroyWindow(list);
    DeleteObject(skin);
    DeleteObject(tahoma);
}
