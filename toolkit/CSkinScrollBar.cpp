#include "toolkit/CSkinScrollBar.h"

#include "framework/Handles.h"
#include "framework/Trace.h"
#include "toolkit/CMemDC_Ex.h"

using toolkit::ScrollPart;

namespace {
constexpr int kColumns = 9;
constexpr int kRows = 3;
}  // namespace

bool CSkinScrollBar::Create(HWND parent, UINT id, bool vertical, HBITMAP skin, int x, int y, int width, int height) {
    vertical_ = vertical;
    dpi_ = vnt::windowDpi(parent);
    takeSkin(skin);
    return CreateEx(0, L"SCROLLBAR", L"", WS_CHILD | (vertical ? SBS_VERT : SBS_HORZ), x, y, width, height, parent, id);
}

bool CSkinScrollBar::takeSkin(HBITMAP skin) {
    BITMAP info{};
    if (!skin || !GetObjectW(skin, sizeof info, &info) || info.bmWidth < kColumns || info.bmHeight < kRows) {
        vnt::trace(L"CSkinScrollBar: skin %p is no %d x %d grid, kept the old one", static_cast<void*>(skin), kColumns, kRows);
        return false;
    }
    skin_ = skin;
    cellWidth_ = info.bmWidth / kColumns;
    cellHeight_ = info.bmHeight / kRows;
    return true;
}

bool CSkinScrollBar::SetDpi(int dpi, HBITMAP skin) {
    if (dpi <= 0) {
        vnt::trace(L"CSkinScrollBar: DPI %d ignored", dpi);
        return false;
    }
    dpi_ = dpi;
    const bool ok = takeSkin(skin);
    Invalidate();
    return ok;
}

toolkit::ScrollBarGeometry CSkinScrollBar::geometry() const {
    toolkit::ScrollBarGeometry g;
    const RECT rc = GetClientRect();
    g.length = vertical_ ? rc.bottom : rc.right;
    // An arrow is one skin cell long, whatever the bar's thickness.
    g.cell = vertical_ ? cellHeight_ : cellWidth_;
    g.min = min_;
    g.max = max_;
    g.page = page_;
    g.position = trackPosition_ >= 0 ? trackPosition_ : position_;
    g.minThumb = vnt::scalePx(toolkit::kMinThumb96, dpi_);
    return g;
}

void CSkinScrollBar::SetScrollInfo(const SCROLLINFO& info) {
    if (dragging()) return;
    if (info.fMask & SIF_RANGE) {
        min_ = info.nMin;
        max_ = info.nMax;
    }
    if (info.fMask & SIF_PAGE) page_ = static_cast<int>(info.nPage);
    if (info.fMask & SIF_POS) position_ = info.nPos;
    Invalidate();
}

SCROLLINFO CSkinScrollBar::GetScrollInfo() const {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    info.nMin = min_;
    info.nMax = max_;
    info.nPage = static_cast<UINT>(page_);
    info.nPos = position_;
    info.nTrackPos = trackPosition_ >= 0 ? trackPosition_ : position_;
    return info;
}

int CSkinScrollBar::rowOf(ScrollPart part) const {
    if (part == ScrollPart::None) return 0;
    if (pressed_ == part) return 2;
    return hot_ == part ? 1 : 0;
}

void CSkinScrollBar::drawCell(HDC dc, int column, int row, const RECT& target, HDC skinDc) const {
    StretchBlt(dc, target.left, target.top, target.right - target.left, target.bottom - target.top, skinDc,
               column * cellWidth_, row * cellHeight_, cellWidth_, cellHeight_, SRCCOPY);
}

void CSkinScrollBar::tileCell(HDC dc, int column, int row, const RECT& target, HDC skinDc) const {
    if (cellWidth_ <= 0 || cellHeight_ <= 0) return;
    // Across the bar the cell is stretched to the bar's thickness; along it, repeated.
    const int step = vertical_ ? cellHeight_ : cellWidth_;
    const int end = vertical_ ? target.bottom : target.right;
    for (int p = vertical_ ? target.top : target.left; p < end; p += step) {
        const int n = end - p < step ? end - p : step;
        if (vertical_) {
            StretchBlt(dc, target.left, p, target.right - target.left, n, skinDc, column * cellWidth_, row * cellHeight_,
                       cellWidth_, n, SRCCOPY);
        } else {
            StretchBlt(dc, p, target.top, n, target.bottom - target.top, skinDc, column * cellWidth_, row * cellHeight_,
                       n, cellHeight_, SRCCOPY);
        }
    }
}

void CSkinScrollBar::paint(HDC target) {
    const RECT client = GetClientRect();
    CMemDC_Ex dc(target, &client);
    HDC skinDc = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(skinDc, skin_);
    SetStretchBltMode(dc, COLORONCOLOR);
    const toolkit::ScrollBarGeometry g = geometry();
    const int base = vertical_ ? 0 : 4;  // first column of this bar's parts
    auto span = [&](int from, int to) {
        return vertical_ ? RECT{0, from, client.right, to} : RECT{from, 0, to, client.bottom};
    };
    tileCell(dc, base + 3, 0, span(g.cell, g.length - g.cell), skinDc);
    if (g.hasThumb()) {
        const int start = g.thumbStart();
        // The pressed track shows where a held page request is going.
        if (pressed_ == ScrollPart::PageUp) tileCell(dc, base + 3, 2, span(g.cell, start), skinDc);
        if (pressed_ == ScrollPart::PageDown)
            tileCell(dc, base + 3, 2, span(start + g.thumbLength(), g.length - g.cell), skinDc);
        drawCell(dc, base + 2, dragging() ? 2 : rowOf(ScrollPart::Thumb), span(start, start + g.thumbLength()), skinDc);
    }
    drawCell(dc, base + 0, rowOf(ScrollPart::LineUp), span(0, g.cell), skinDc);
    drawCell(dc, base + 1, rowOf(ScrollPart::LineDown), span(g.length - g.cell, g.length), skinDc);
    SelectObject(skinDc, old);
    DeleteDC(skinDc);
}

int CSkinScrollBar::along(LPARAM lParam) const {
    return vertical_ ? static_cast<short>(HIWORD(lParam)) : static_cast<short>(LOWORD(lParam));
}

void CSkinScrollBar::send(int code, int position) {
    SendMessageW(GetParent(), vertical_ ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, position),
                 reinterpret_cast<LPARAM>(hwnd_));
}

void CSkinScrollBar::sendPart(ScrollPart part) {
    switch (part) {
    case ScrollPart::LineUp: send(SB_LINEUP); break;
    case ScrollPart::LineDown: send(SB_LINEDOWN); break;
    case ScrollPart::PageUp: send(SB_PAGEUP); break;
    case ScrollPart::PageDown: send(SB_PAGEDOWN); break;
    default: break;
    }
}

bool CSkinScrollBar::shouldRepeat() const {
    const toolkit::ScrollBarGeometry g = geometry();
    switch (pressed_) {
    case ScrollPart::LineUp: return position_ > min_;
    case ScrollPart::LineDown: return position_ < g.maxPosition();
    case ScrollPart::PageUp:
    case ScrollPart::PageDown: {
        // Until the thumb has come under the cursor.
        const ScrollPart under = g.hitTest(lastPixel_);
        return under == pressed_;
    }
    default: return false;
    }
}

void CSkinScrollBar::onButtonDown(LPARAM lParam) {
    const int pixel = along(lParam);
    lastPixel_ = pixel;
    const toolkit::ScrollBarGeometry g = geometry();
    const ScrollPart part = g.hitTest(pixel);
    if (part == ScrollPart::None) return;
    SetCapture(hwnd_);
    pressed_ = part;
    if (part == ScrollPart::Thumb) {
        dragPart_ = ScrollPart::Thumb;
        grab_ = pixel - g.thumbStart();
        trackPosition_ = position_;
    } else {
        sendPart(part);
        SetTimer(hwnd_, kDelayTimer, kRepeatDelayMs, nullptr);
    }
    Invalidate();
}

void CSkinScrollBar::onMouseMove(LPARAM lParam) {
    const int pixel = along(lParam);
    lastPixel_ = pixel;
    if (!tracking_) tracking_ = TrackMouseLeave();
    if (dragging()) {
        const toolkit::ScrollBarGeometry g = geometry();
        const int position = g.positionForThumbStart(pixel - grab_);
        if (position != trackPosition_) {
            trackPosition_ = position;
            send(SB_THUMBTRACK, position);
            Invalidate();
        }
        return;
    }
    const ScrollPart part = geometry().hitTest(pixel);
    if (part != hot_) {
        hot_ = part;
        Invalidate();
    }
}

void CSkinScrollBar::onButtonUp() {
    KillTimer(hwnd_, kDelayTimer);
    KillTimer(hwnd_, kRepeatTimer);
    const bool wasDragging = dragging();
    const int track = trackPosition_;
    const bool wasPressed = pressed_ != ScrollPart::None;
    pressed_ = ScrollPart::None;
    dragPart_ = ScrollPart::None;
    trackPosition_ = -1;
    if (GetCapture() == hwnd_) ReleaseCapture();
    if (wasDragging) {
        position_ = track;
        send(SB_THUMBPOSITION, track);
    }
    if (wasPressed) send(SB_ENDSCROLL);
    Invalidate();
}

void CSkinScrollBar::onTimer(UINT_PTR id) {
    if (id == kDelayTimer) {
        KillTimer(hwnd_, kDelayTimer);
        SetTimer(hwnd_, kRepeatTimer, kRepeatIntervalMs, nullptr);
    }
    if (id != kDelayTimer && id != kRepeatTimer) return;
    if (!shouldRepeat()) {
        KillTimer(hwnd_, kRepeatTimer);
        return;
    }
    sendPart(pressed_);
    Invalidate();
}

LRESULT CSkinScrollBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        vnt::PaintDC dc(hwnd_);
        paint(dc.get());
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        onButtonDown(lParam);
        return 0;
    case WM_MOUSEMOVE:
        onMouseMove(lParam);
        return 0;
    case WM_LBUTTONUP:
        onButtonUp();
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hwnd_ && pressed_ != ScrollPart::None) onButtonUp();
        return 0;
    case WM_MOUSELEAVE:
        tracking_ = false;
        if (hot_ != ScrollPart::None) {
            hot_ = ScrollPart::None;
            Invalidate();
        }
        return 0;
    case WM_TIMER:
        onTimer(wParam);
        return 0;
    case SBM_SETSCROLLINFO: {
        SetScrollInfo(*reinterpret_cast<const SCROLLINFO*>(lParam));
        return position_;
    }
    case SBM_GETSCROLLINFO: {
        auto* info = reinterpret_cast<SCROLLINFO*>(lParam);
        const SCROLLINFO mine = GetScrollInfo();
        const UINT mask = info->fMask;
        if (mask & SIF_RANGE) {
            info->nMin = mine.nMin;
            info->nMax = mine.nMax;
        }
        if (mask & SIF_PAGE) info->nPage = mine.nPage;
        if (mask & SIF_POS) info->nPos = mine.nPos;
        if (mask & SIF_TRACKPOS) info->nTrackPos = mine.nTrackPos;
        return TRUE;
    }
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
