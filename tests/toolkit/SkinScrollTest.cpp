// Skinned scroll bars: the repeat of a held arrow or track, and the frame that puts them on a list.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/Dpi.h"
#include "tests/support/WindowPixels.h"
#include "tests/toolkit/ToolkitFixture.h"
#include "toolkit/CSkinScrollWnd.h"
#include "toolkit/SkinResource.h"

using testsupport::closeColour;
using testsupport::WindowPixels;
using toolkit::ScrollPart;
using toolkittest::ToolkitTest;

namespace {

// A parent that scrolls a pretend content of 0..max by the bar's requests, as a list would.
class ScrollTarget : public vnt::CWnd {
public:
    CSkinScrollBar bar;
    int position = 0;
    int max = 49;
    int page = 10;
    std::vector<int> codes;

    void sync() {
        SCROLLINFO info{sizeof info, SIF_ALL, 0, max, static_cast<UINT>(page), position, 0};
        bar.SetScrollInfo(info);
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_VSCROLL) {
            const int code = LOWORD(wParam);
            codes.push_back(code);
            const int top = max - page + 1;
            if (code == SB_LINEDOWN) position = position + 1 > top ? top : position + 1;
            if (code == SB_LINEUP) position = position > 0 ? position - 1 : 0;
            if (code == SB_PAGEDOWN) position = position + page > top ? top : position + page;
            if (code == SB_PAGEUP) position = position - page < 0 ? 0 : position - page;
            if (code == SB_THUMBPOSITION) position = HIWORD(wParam);
            sync();
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

constexpr UINT kSkin = 513;

// The list control's skin as the main dialog loads it for its DPI.
HBITMAP loadSkin(int dpi) { return toolkit::LoadSkinBitmap(kSkin, dpi); }

// Pixels of the skin's cell (column, row 0) that the window does not show, unstretched, at (x, y).
int unlikeCell(const WindowPixels& shown, int x, int y, HBITMAP skin, int column, int cell) {
    HDC skinDc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(skinDc, skin);
    int n = 0;
    for (int dy = 0; dy < cell; ++dy) {
        for (int dx = 0; dx < cell; ++dx) n += !closeColour(shown.at(x + dx, y + dy), GetPixel(skinDc, column * cell + dx, dy));
    }
    SelectObject(skinDc, old);
    DeleteDC(skinDc);
    return n;
}

int count(const std::vector<int>& codes, int code) {
    int n = 0;
    for (int c : codes) n += c == code;
    return n;
}

}  // namespace

class SkinScrollTest : public ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        dpi_ = vnt::windowDpi(host_->hwnd());
        skin_ = loadSkin(dpi_);
        ASSERT_NE(skin_, nullptr);
        BITMAP info{};
        GetObjectW(skin_, sizeof info, &info);
        cell_ = info.bmWidth / 9;
    }
    void TearDown() override {
        ToolkitTest::TearDown();
        DeleteObject(skin_);
    }

    bool createTarget(ScrollTarget& target, int barLength) {
        if (!ScrollTarget::RegisterWindowClass(L"VNT_ScrollTarget", 0, nullptr, nullptr)) return false;
        if (!target.CreateEx(0, L"VNT_ScrollTarget", L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, barLength, host_->hwnd(), 7))
            return false;
        if (!target.bar.Create(target.hwnd(), 100, true, skin_, 0, 0, cell_, barLength)) return false;
        ShowWindow(target.bar.hwnd(), SW_SHOW);
        target.sync();
        return true;
    }

    void tick(CSkinScrollBar& bar, UINT_PTR id) { SendMessageW(bar.hwnd(), WM_TIMER, id, 0); }

    HBITMAP skin_ = nullptr;
    int cell_ = 0;
    int dpi_ = vnt::kBaseDpi;
};

TEST_F(SkinScrollTest, AHeldArrowRepeatsAfterTheDelayUntilTheEndOfTheRange) {
    ScrollTarget target;
    ASSERT_TRUE(createTarget(target, 200));
    target.max = 15;
    target.page = 10;  // positions 0..6
    target.sync();
    const int y = 200 - cell_ / 2;
    SendMessageW(target.bar.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cell_ / 2, y));
    EXPECT_EQ(target.codes, std::vector<int>{SB_LINEDOWN}) << "the first request at once";
    EXPECT_EQ(target.bar.pressedPart(), ScrollPart::LineDown);
    tick(target.bar, CSkinScrollBar::kDelayTimer);
    EXPECT_EQ(target.position, 2);
    for (int i = 0; i < 10; ++i) tick(target.bar, CSkinScrollBar::kRepeatTimer);
    EXPECT_EQ(target.position, 6);
    EXPECT_EQ(count(target.codes, SB_LINEDOWN), 6) << "no request once the end is reached";
    SendMessageW(target.bar.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(cell_ / 2, y));
    EXPECT_EQ(target.codes.back(), SB_ENDSCROLL);
    EXPECT_NE(GetCapture(), target.bar.hwnd());
    tick(target.bar, CSkinScrollBar::kRepeatTimer);
    EXPECT_EQ(count(target.codes, SB_LINEDOWN), 6) << "released: no more repeats";
}

TEST_F(SkinScrollTest, AHeldTrackPagesUntilTheThumbReachesTheCursor) {
    ScrollTarget target;
    ASSERT_TRUE(createTarget(target, 300));
    target.max = 99;
    target.page = 10;
    target.sync();
    const int y = 300 - cell_ - 4;  // low on the track
    SendMessageW(target.bar.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cell_ / 2, y));
    EXPECT_EQ(target.codes, std::vector<int>{SB_PAGEDOWN});
    tick(target.bar, CSkinScrollBar::kDelayTimer);
    for (int i = 0; i < 30; ++i) tick(target.bar, CSkinScrollBar::kRepeatTimer);
    const toolkit::ScrollBarGeometry g = target.bar.geometry();
    EXPECT_EQ(g.hitTest(y), ScrollPart::Thumb) << "paging stopped with the thumb under the cursor";
    EXPECT_LT(count(target.codes, SB_PAGEDOWN), 12);
    SendMessageW(target.bar.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(cell_ / 2, y));
}

TEST_F(SkinScrollTest, DraggingTheThumbTracksAndEndsWithThePosition) {
    ScrollTarget target;
    ASSERT_TRUE(createTarget(target, 200));
    const toolkit::ScrollBarGeometry g = target.bar.geometry();
    const int grab = g.thumbStart() + 2;
    SendMessageW(target.bar.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cell_ / 2, grab));
    EXPECT_TRUE(target.bar.dragging());
    SendMessageW(target.bar.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(cell_ / 2, 5000));
    EXPECT_EQ(target.bar.trackPosition(), g.maxPosition());
    EXPECT_EQ(target.codes.back(), SB_THUMBTRACK);
    SendMessageW(target.bar.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(cell_ / 2, 5000));
    EXPECT_EQ(count(target.codes, SB_THUMBPOSITION), 1);
    EXPECT_EQ(target.position, g.maxPosition());
    EXPECT_FALSE(target.bar.dragging());
}

TEST_F(SkinScrollTest, WithFewerItemsThanAPageTheBarShowsTrackButNoThumb) {
    ScrollTarget target;
    ASSERT_TRUE(createTarget(target, 200));
    target.max = 4;
    target.page = 10;
    target.sync();
    EXPECT_FALSE(target.bar.geometry().hasThumb());
    // The middle of the bar is drawn from the track cell, not the thumb cell.
    HDC skinDc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(skinDc, skin_);
    const COLORREF track = GetPixel(skinDc, 3 * cell_ + cell_ / 2, cell_ / 2);
    const COLORREF thumb = GetPixel(skinDc, 2 * cell_ + cell_ / 2, cell_ / 2);
    SelectObject(skinDc, old);
    DeleteDC(skinDc);
    ASSERT_NE(track, thumb);
    WindowPixels bar(target.bar.hwnd());
    for (int y = cell_; y < 200 - cell_; y += 7) EXPECT_TRUE(closeColour(bar.at(cell_ / 2, y), track)) << "y " << y;
    SendMessageW(target.bar.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cell_ / 2, 100));
    EXPECT_TRUE(target.codes.empty()) << "the empty track does nothing";
    SendMessageW(target.bar.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(cell_ / 2, 100));
}

TEST_F(SkinScrollTest, TheFrameTakesTheListsPlaceAndShowsBarsOnlyWhenTheListScrolls) {
    HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER,
                                20, 30, 300, 200, host_->hwnd(), reinterpret_cast<HMENU>(1002), GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(list, nullptr);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 250;
    ListView_InsertColumn(list, 0, &column);
    auto addRows = [&](int n) {
        for (int i = 0; i < n; ++i) {
            std::wstring text = L"row " + std::to_wstring(i);
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = ListView_GetItemCount(list);
            item.pszText = const_cast<wchar_t*>(text.c_str());
            ListView_InsertItem(list, &item);
        }
    };
    addRows(3);

    CSkinScrollWnd frame;
    ASSERT_TRUE(frame.Attach(skin_, list));
    EXPECT_EQ(GetDlgItem(host_->hwnd(), 1002), frame.hwnd()) << "the frame carries the list's id";
    EXPECT_EQ(GetParent(list), frame.innerParent());
    EXPECT_EQ(GetDlgCtrlID(frame.innerParent()), 200);
    EXPECT_FALSE(GetWindowLongPtrW(list, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) << "the border moved to the frame";
    EXPECT_TRUE(GetWindowLongPtrW(frame.hwnd(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_FALSE(IsWindowVisible(frame.verticalBar().hwnd())) << "three rows fit: no bar";

    addRows(200);
    frame.SyncBars();
    ASSERT_TRUE(IsWindowVisible(frame.verticalBar().hwnd()));
    EXPECT_TRUE(frame.verticalBar().geometry().hasThumb());
    SCROLLINFO own{sizeof own, SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(GetScrollInfo(list, SB_VERT, &own));
    EXPECT_EQ(frame.verticalBar().GetScrollInfo().nMax, own.nMax);
    EXPECT_EQ(static_cast<int>(frame.verticalBar().GetScrollInfo().nPage), static_cast<int>(own.nPage));
    // The list's own bar lies outside the inner window.
    RECT inner, listRect;
    GetWindowRect(frame.innerParent(), &inner);
    GetWindowRect(list, &listRect);
    EXPECT_GT(listRect.right, inner.right);

    // The skinned down arrow scrolls the list and the bar follows.
    CSkinScrollBar& bar = frame.verticalBar();
    const RECT barRect = bar.GetClientRect();
    const int arrowY = barRect.bottom - cell_ / 2;
    SendMessageW(bar.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cell_ / 2, arrowY));
    SendMessageW(bar.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(cell_ / 2, arrowY));
    EXPECT_EQ(ListView_GetTopIndex(list), 1);
    EXPECT_EQ(bar.GetScrollInfo().nPos, 1);

    // Scrolling the list by itself reaches the bar.
    ListView_EnsureVisible(list, 150, FALSE);
    EXPECT_EQ(bar.GetScrollInfo().nPos, ListView_GetTopIndex(list));

    frame.Detach();
    EXPECT_EQ(GetParent(list), host_->hwnd());
    EXPECT_TRUE(GetWindowLongPtrW(list, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    RECT back;
    GetWindowRect(list, &back);
    MapWindowPoints(nullptr, host_->hwnd(), reinterpret_cast<POINT*>(&back), 2);
    EXPECT_EQ(back.left, 20);
    EXPECT_EQ(back.top, 30);
    DestroyWindow(list);
}

TEST_F(SkinScrollTest, TheBarsTakeEachDisplayScalesSkinAndShortestThumb) {
    EXPECT_EQ(cell_, vnt::scalePx(12, dpi_)) << "the skin of the host's scale";
    HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER,
                                20, 30, 400, 300, host_->hwnd(), reinterpret_cast<HMENU>(1002), GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(list, nullptr);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 900;  // wider than the list: both bars
    ListView_InsertColumn(list, 0, &column);
    for (int i = 0; i < 300; ++i) {
        std::wstring text = L"row " + std::to_wstring(i);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        ListView_InsertItem(list, &item);
    }
    CSkinScrollWnd frame;
    ASSERT_TRUE(frame.Attach(skin_, list));
    EXPECT_EQ(frame.verticalBar().dpi(), dpi_) << "made at its parent's DPI";
    HBITMAP shown = nullptr;
    for (int dpi : {96, 120, 144, 192, dpi_}) {
        SCOPED_TRACE(dpi);
        HBITMAP skin = loadSkin(dpi);
        ASSERT_NE(skin, nullptr);
        ASSERT_TRUE(frame.SetDpi(dpi, skin));
        if (shown) DeleteObject(shown);
        shown = skin;
        const int cell = vnt::scalePx(12, dpi);
        EXPECT_EQ(frame.barThickness(), cell) << "one cell of that scale's skin";
        CSkinScrollBar& bar = frame.verticalBar();
        ASSERT_TRUE(IsWindowVisible(bar.hwnd()));
        ASSERT_TRUE(IsWindowVisible(frame.horizontalBar().hwnd()));
        const RECT rc = bar.GetClientRect();
        EXPECT_EQ(rc.right, cell);
        EXPECT_EQ(frame.horizontalBar().GetClientRect().bottom, cell);
        EXPECT_EQ(bar.geometry().minThumb, vnt::scalePx(8, dpi));
        EXPECT_EQ(bar.geometry().cell, cell);
        // The up arrow is the skin's cell as drawn, not a stretched one.
        EXPECT_EQ(unlikeCell(WindowPixels(bar.hwnd()), 0, 0, skin, 0, cell), 0);
        // The list's own bars stay out of sight.
        RECT inner, listRect;
        GetWindowRect(frame.innerParent(), &inner);
        GetWindowRect(list, &listRect);
        EXPECT_GT(listRect.right, inner.right);
        EXPECT_GT(listRect.bottom, inner.bottom);
        RECT listClient;
        GetClientRect(list, &listClient);
        EXPECT_GE(listClient.right, inner.right - inner.left) << "the items fill the inner window";
        // The skinned bar still scrolls the list.
        const int top = ListView_GetTopIndex(list);
        SendMessageW(bar.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cell / 2, rc.bottom - cell / 2));
        SendMessageW(bar.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(cell / 2, rc.bottom - cell / 2));
        EXPECT_EQ(ListView_GetTopIndex(list), top + 1);
    }
    // No skin: the old one stays.
    EXPECT_FALSE(frame.SetDpi(192, nullptr));
    EXPECT_EQ(frame.barThickness(), cell_);
    frame.Detach();
    DestroyWindow(list);
    DeleteObject(shown);
}
