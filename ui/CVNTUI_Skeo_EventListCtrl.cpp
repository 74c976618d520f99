#include "ui/CVNTUI_Skeo_EventListCtrl.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <vector>

#include "framework/Dpi.h"
#include "framework/Trace.h"
#include "library/PhotoWriter.h"
#include "library/VNTSkeoDatabaseManager.h"
#include "ui/EventListScroll.h"

namespace {

// Posted to the list itself for the next fill step; the list-view uses nothing from WM_APP up.
constexpr UINT kFillStepMessage = WM_APP + 0x2E1;
// The next step when input or painting is waiting: timers come after both.
constexpr UINT_PTR kFillStepTimer = 0x2E1;
const wchar_t kFontFace[] = L"Tahoma";

using Clock = std::chrono::steady_clock;

}  // namespace

CVNTUI_Skeo_EventListCtrl::~CVNTUI_Skeo_EventListCtrl() {
    if (hwnd_ && IsWindow(hwnd_)) {
        KillTimer(hwnd_, kFillStepTimer);
        removeAllItems();
    }
}

bool CVNTUI_Skeo_EventListCtrl::Attach(HWND list) {
    if (!SubclassWindow(list)) return false;
    setUp();
    return true;
}

void CVNTUI_Skeo_EventListCtrl::setUp() {
    LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    style &= ~static_cast<LONG_PTR>(LVS_TYPEMASK | LVS_ALIGNMASK | LVS_SINGLESEL);
    // No column header: the brief report view of an insertion would otherwise show one.
    style |= LVS_ICON | LVS_AUTOARRANGE | LVS_ALIGNLEFT | LVS_SHOWSELALWAYS | LVS_NOCOLUMNHEADER;
    SetWindowLongPtrW(hwnd_, GWL_STYLE, style);
    applyDpi(vnt::windowDpi(hwnd_));
    ListView_SetBkColor(hwnd_, kBackground);
    ListView_SetTextBkColor(hwnd_, kBackground);
    ListView_SetTextColor(hwnd_, RGB(255, 255, 255));
    // The items are drawn whole by us; no dotted focus rectangle over the pictures.
    SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS), 0);
}

void CVNTUI_Skeo_EventListCtrl::SetDpi(int dpi) {
    if (dpi <= 0 || dpi == dpi_ || !hwnd_) return;
    applyDpi(dpi);
    // Thumbnails of the former size are made again as they are drawn: only the shown ones cost now.
    ListView_Arrange(hwnd_, LVA_ALIGNTOP);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void CVNTUI_Skeo_EventListCtrl::applyDpi(int dpi) {
    dpi_ = dpi;
    metrics_ = eventlist::stripMetrics(skeo::DisplayScale(dpi));
    // The images only give the items their size; the list destroys its image list with itself.
    HIMAGELIST images = ImageList_Create(metrics_.imageWidth, metrics_.imageHeight, ILC_COLOR32, 0, 1);
    HIMAGELIST previous = ListView_SetImageList(hwnd_, images, LVSIL_NORMAL);
    const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    if (previous && previous != images && !(style & LVS_SHAREIMAGELISTS)) ImageList_Destroy(previous);
    // The list's own row height (79 under Wine at 100 %) is taller than the strip, which then
    // scrolls up and down by a few pixels: one row of thumbnails is what the strip is for.
    ListView_SetIconSpacing(hwnd_, metrics_.itemSpacing, metrics_.rowSpacing);
    // The list lets go of the former font before it is deleted.
    vnt::FontHandle font(vnt::createFont(kFontFace, eventlist::stripMetrics().fontHeight, FW_NORMAL, dpi));
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    font_ = std::move(font);
}

std::unique_ptr<Gdiplus::Bitmap> CVNTUI_Skeo_EventListCtrl::loadThumbnail(const VNTSkeoEvent& record) const {
    // Decoded at the strip's scale: drawn as made, never stretched.
    return std::unique_ptr<Gdiplus::Bitmap>(
        LoadPhotoThumbnail(record.fullPath().c_str(), metrics_.thumbnailWidth, metrics_.thumbnailHeight));
}

int CVNTUI_Skeo_EventListCtrl::itemCount() const {
    return hwnd_ ? static_cast<int>(SendMessageW(hwnd_, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

const VNTSkeoEvent* CVNTUI_Skeo_EventListCtrl::eventAt(int index) const {
    if (!hwnd_ || index < 0 || index >= itemCount()) return nullptr;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!ListView_GetItem(hwnd_, &item)) return nullptr;
    return reinterpret_cast<const VNTSkeoEvent*>(item.lParam);
}

void CVNTUI_Skeo_EventListCtrl::setReportView(bool report) {
    const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    SetWindowLongPtrW(hwnd_, GWL_STYLE,
                      (style & ~static_cast<LONG_PTR>(LVS_TYPEMASK)) | (report ? LVS_REPORT : LVS_ICON));
}

bool CVNTUI_Skeo_EventListCtrl::insertItem(int index, const VNTSkeoEvent& record,
                                           std::unique_ptr<Gdiplus::Bitmap> thumbnail) {
    auto copy = std::make_unique<VNTSkeoEvent>(record);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(L"");
    item.iImage = 0;
    item.lParam = reinterpret_cast<LPARAM>(copy.get());
    // In place before the insertion, so that the first paint of the item finds its picture.
    keepThumbnail(copy.get(), std::move(thumbnail));
    if (ListView_InsertItem(hwnd_, &item) < 0) {
        thumbnails_.erase(copy.get());
        vnt::trace(L"CVNTUI_Skeo_EventListCtrl: the list refused an item for %ls", record.fullPath().c_str());
        return false;
    }
    copy.release();  // the item owns it now
    return true;
}

int CVNTUI_Skeo_EventListCtrl::addItem(const VNTSkeoEvent& record) {
    if (!hwnd_) return 0;
    std::unique_ptr<Gdiplus::Bitmap> thumbnail = loadThumbnail(record);
    if (!thumbnail) {
        vnt::trace(L"CVNTUI_Skeo_EventListCtrl: no thumbnail for %ls", record.fullPath().c_str());
        return 0;
    }
    // Inserted in report view, the item takes the last place when the icons are arranged again.
    // A fill between its steps is in report view already and goes back to icons when it shows.
    const bool switchView = !redrawOff_;
    if (switchView) setReportView(true);
    const bool added = insertItem(itemCount(), record, std::move(thumbnail));
    if (switchView) setReportView(false);
    // While a fill holds redrawing off, the new photo shows at the next step.
    if (added && redrawOff_) showSoon_ = true;
    return added ? 1 : 0;
}

void CVNTUI_Skeo_EventListCtrl::fillList(const std::vector<VNTSkeoEvent>& records, VNTSkeoDatabaseManager& database) {
    if (!hwnd_) return;
    if (pending_.empty() && !stepScheduled_) {
        fillAt_ = itemCount();
        shownOnce_ = false;
    }
    for (size_t i = records.size(); i-- > 0;)
        pending_.push_back(PendingRecord{records[i], static_cast<int>(i), &database});
    if (!stepScheduled_) fillStep();
}

// Three kinds of step. A loading step adds records with redrawing off, for at most the step time.
// A showing step only switches redrawing on, which arranges what is in and asks for a paint: under
// Wine that alone costs tens of milliseconds for a large strip, so it comes after the first loading
// step (the strip's start appears at once), when a snapshot came in meanwhile, and after the last
// record. The finishing step paints what the message loop has not painted yet.
void CVNTUI_Skeo_EventListCtrl::fillStep() {
    stepScheduled_ = false;
    KillTimer(hwnd_, kFillStepTimer);
    if (showDue_) {
        showDue_ = false;
        showSoon_ = false;
        shownOnce_ = true;
        setReportView(false);
        setRedraw(true);
        finishDue_ = pending_.empty();
        scheduleFillStep();
        return;
    }
    if (finishDue_) {
        finishDue_ = false;
        UpdateWindow(hwnd_);
        if (fillFinished_) fillFinished_();
        return;
    }
    if (pending_.empty()) return;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(fillStepMs_);
    setRedraw(false);
    setReportView(true);
    do {
        PendingRecord next = std::move(pending_.front());
        pending_.pop_front();
        std::unique_ptr<Gdiplus::Bitmap> thumbnail = loadThumbnail(next.record);
        if (!thumbnail) {
            // Unreadable is not unwanted: the record goes, the photo file stays for the user.
            vnt::trace(L"CVNTUI_Skeo_EventListCtrl: no thumbnail for %ls; its record leaves the list",
                       next.record.fullPath().c_str());
            next.database->dropEvent(next.record, next.databaseIndex);
            continue;
        }
        if (insertItem(fillAt_, next.record, std::move(thumbnail))) ++fillAt_;
    } while (!pending_.empty() && Clock::now() < deadline);
    // The strip stays in report view until it shows: every switch re-lays out every item.
    showDue_ = pending_.empty() || !shownOnce_ || showSoon_;
    scheduleFillStep();
}

void CVNTUI_Skeo_EventListCtrl::setRedraw(bool on) {
    if (redrawOff_ == !on) return;
    redrawOff_ = !on;
    SendMessageW(hwnd_, WM_SETREDRAW, on ? TRUE : FALSE, 0);
}

void CVNTUI_Skeo_EventListCtrl::scheduleFillStep() {
    stepScheduled_ = true;
    // A posted message is taken before input and painting; when those wait, a timer lets them first.
    if (HIWORD(GetQueueStatus(QS_INPUT | QS_PAINT)) != 0 || !PostMessageW(hwnd_, kFillStepMessage, 0, 0))
        SetTimer(hwnd_, kFillStepTimer, USER_TIMER_MINIMUM, nullptr);
}

void CVNTUI_Skeo_EventListCtrl::cancelFill() {
    pending_.clear();
    fillAt_ = 0;
    stepScheduled_ = false;
    showDue_ = false;
    showSoon_ = false;
    finishDue_ = false;
    if (!hwnd_) return;
    KillTimer(hwnd_, kFillStepTimer);
    if (redrawOff_) setReportView(false);
    setRedraw(true);
}

int CVNTUI_Skeo_EventListCtrl::removeItem(int index) {
    if (!hwnd_ || index < 0 || index >= itemCount()) return 0;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    ListView_GetItem(hwnd_, &item);
    auto* record = reinterpret_cast<VNTSkeoEvent*>(item.lParam);
    thumbnails_.erase(record);
    delete record;
    item.lParam = 0;
    ListView_SetItem(hwnd_, &item);
    ListView_DeleteItem(hwnd_, index);
    if (index < fillAt_) --fillAt_;
    return 1;
}

int CVNTUI_Skeo_EventListCtrl::removeItems(std::vector<int> indices) {
    if (!hwnd_) return 0;
    // Between a fill's steps redrawing is off already and the strip in report view: the fill's next
    // step lays out and shows what is left. Switching redrawing on here would paint the loading view.
    const bool hold = !redrawOff_;
    if (hold) setRedraw(false);
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    int removed = 0;
    for (auto it = indices.rbegin(); it != indices.rend(); ++it) removed += removeItem(*it);
    if (hold) {
        ListView_Arrange(hwnd_, LVA_ALIGNTOP);
        setRedraw(true);
        InvalidateRect(hwnd_, nullptr, TRUE);
    } else if (removed > 0) {
        showSoon_ = true;
    }
    return removed;
}

void CVNTUI_Skeo_EventListCtrl::removeAllItems() {
    if (!hwnd_) return;
    cancelFill();
    const int count = itemCount();
    for (int i = 0; i < count; ++i) {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = i;
        if (ListView_GetItem(hwnd_, &item)) delete reinterpret_cast<VNTSkeoEvent*>(item.lParam);
    }
    thumbnails_.clear();
    ListView_DeleteAllItems(hwnd_);
}

void CVNTUI_Skeo_EventListCtrl::selectOnly(int index) {
    if (!hwnd_) return;
    ListView_SetItemState(hwnd_, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(hwnd_, index, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(hwnd_, index, FALSE);
    ListView_SetSelectionMark(hwnd_, index);
}

void CVNTUI_Skeo_EventListCtrl::moveSelection(int step) {
    if (!hwnd_) return;
    const int count = itemCount();
    if (count > 0) {
        const int focused = ListView_GetNextItem(hwnd_, -1, LVNI_FOCUSED);
        int target = focused + step;
        if (target < 0) target = count - 1;
        if (target >= count) target = 0;
        if (GetKeyState(VK_SHIFT) & 0x8000) {
            // Stepping back onto the selection shrinks it by the item left behind.
            if (focused >= 0 && (ListView_GetItemState(hwnd_, target, LVIS_SELECTED) & LVIS_SELECTED))
                ListView_SetItemState(hwnd_, focused, 0, LVIS_SELECTED);
            ListView_SetItemState(hwnd_, target, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            ListView_EnsureVisible(hwnd_, target, FALSE);
        } else {
            selectOnly(target);
        }
    }
    SetFocus(hwnd_);
}

std::vector<int> CVNTUI_Skeo_EventListCtrl::selectedIndices() const {
    std::vector<int> indices;
    if (!hwnd_) return indices;
    for (int i = ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED); i >= 0; i = ListView_GetNextItem(hwnd_, i, LVNI_SELECTED))
        indices.push_back(i);
    return indices;
}

std::vector<VNTSkeoEvent> CVNTUI_Skeo_EventListCtrl::selectedEvents() const {
    std::vector<VNTSkeoEvent> events;
    for (int i : selectedIndices())
        if (const VNTSkeoEvent* record = eventAt(i)) events.push_back(*record);
    return events;
}

void CVNTUI_Skeo_EventListCtrl::reloadSelectedThumbnails() {
    if (!hwnd_) return;
    for (int i : selectedIndices()) reloadThumbnail(i);
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CVNTUI_Skeo_EventListCtrl::reloadThumbnails(const std::vector<std::wstring>& paths) {
    if (!hwnd_ || paths.empty()) return;
    const int count = itemCount();
    for (int i = 0; i < count; ++i) {
        const VNTSkeoEvent* record = eventAt(i);
        if (record && std::find(paths.begin(), paths.end(), record->fullPath()) != paths.end()) reloadThumbnail(i);
    }
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void CVNTUI_Skeo_EventListCtrl::reloadThumbnail(int index) {
    const VNTSkeoEvent* record = eventAt(index);
    if (!record) return;
    std::unique_ptr<Gdiplus::Bitmap> thumbnail = loadThumbnail(*record);
    // Without a picture the item keeps its place and shows its background.
    if (!thumbnail) vnt::trace(L"CVNTUI_Skeo_EventListCtrl: no thumbnail for %ls", record->fullPath().c_str());
    keepThumbnail(record, std::move(thumbnail));
}

void CVNTUI_Skeo_EventListCtrl::keepThumbnail(const VNTSkeoEvent* record, std::unique_ptr<Gdiplus::Bitmap> thumbnail) {
    HeldThumbnail& held = thumbnails_[record];
    held.bitmap = std::move(thumbnail);
    held.lastUse = ++uses_;
    const size_t kept = std::max<size_t>(thumbnailsKept_, 1);
    if (thumbnails_.size() <= kept + kept / 4) return;
    // In batches, so that a fill of a large library is not a scan of the map per photo.
    std::vector<unsigned long long> uses;
    uses.reserve(thumbnails_.size());
    for (const auto& entry : thumbnails_) uses.push_back(entry.second.lastUse);
    const auto cut = uses.end() - static_cast<std::ptrdiff_t>(kept);
    std::nth_element(uses.begin(), cut, uses.end());
    const unsigned long long oldestKept = *cut;
    for (auto it = thumbnails_.begin(); it != thumbnails_.end();)
        it = it->second.lastUse < oldestKept ? thumbnails_.erase(it) : std::next(it);
}

RECT CVNTUI_Skeo_EventListCtrl::cellRect(int index) const {
    RECT select{}, item{};
    select.left = LVIR_SELECTBOUNDS;
    item.left = LVIR_BOUNDS;
    if (!SendMessageW(hwnd_, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&select)) ||
        !SendMessageW(hwnd_, LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
        return RECT{};
    // An item without text may be reported as its image list's icon alone (Wine does), smaller than
    // a landscape thumbnail, which would then hide the white of a selection. Grown about its centre
    // to hold the picture with the white showing, and kept inside the item.
    const int minWidth = metrics_.cellMinWidth, minHeight = metrics_.cellMinHeight;
    const auto grow = [](LONG& low, LONG& high, int minimum, LONG lowest, LONG highest) {
        if (high - low >= minimum) return;
        low = (low + high - minimum) / 2;
        high = low + minimum;
        if (high > highest) { low -= high - highest; high = highest; }
        if (low < lowest) { high += lowest - low; low = lowest; }
    };
    grow(select.left, select.right, minWidth, item.left, item.right);
    grow(select.top, select.bottom, minHeight, item.top, item.bottom);
    return select;
}

void CVNTUI_Skeo_EventListCtrl::drawItem(HDC dc, int index, const VNTSkeoEvent* record) {
    const RECT bounds = cellRect(index);
    if (IsRectEmpty(&bounds)) return;
    const UINT state = ListView_GetItemState(hwnd_, index, LVIS_SELECTED | LVIS_FOCUSED);
    RECT fill = bounds;
    COLORREF colour = kBackground;
    if (state & (LVIS_SELECTED | LVIS_FOCUSED)) {
        InflateRect(&fill, -metrics_.selectionInset, -metrics_.selectionInset);
        colour = kSelection;
    }
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &fill, brush);
    DeleteObject(brush);

    if (!record) return;
    auto found = thumbnails_.find(record);
    if (found == thumbnails_.end()) {
        // Let go while it was out of sight.
        std::unique_ptr<Gdiplus::Bitmap> thumbnail = loadThumbnail(*record);
        if (!thumbnail) vnt::trace(L"CVNTUI_Skeo_EventListCtrl: no thumbnail for %ls", record->fullPath().c_str());
        keepThumbnail(record, std::move(thumbnail));
        found = thumbnails_.find(record);
        if (found == thumbnails_.end()) return;
    }
    found->second.lastUse = ++uses_;
    if (!found->second.bitmap) return;
    // Made before the strip changed its scale: made again at this one, kept if that fails.
    if (static_cast<int>(found->second.bitmap->GetHeight()) != metrics_.thumbnailHeight)
        if (std::unique_ptr<Gdiplus::Bitmap> remade = loadThumbnail(*record)) found->second.bitmap = std::move(remade);
    Gdiplus::Bitmap& thumbnail = *found->second.bitmap;
    int width = static_cast<int>(thumbnail.GetWidth());
    int height = static_cast<int>(thumbnail.GetHeight());
    if (height < width) {
        width = metrics_.thumbnailWidth;
        height = metrics_.thumbnailHeight;
    }
    const int x = bounds.left + (bounds.right - bounds.left - width) / 2;
    const int y = bounds.top + (bounds.bottom - bounds.top - height) / 2;
    Gdiplus::Graphics graphics(dc);
    // Drawn at its own size: every pixel as made, none blended with its neighbours.
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    graphics.DrawImage(&thumbnail, Gdiplus::Rect(x, y, width, height), 0, 0, static_cast<INT>(thumbnail.GetWidth()),
                       static_cast<INT>(thumbnail.GetHeight()), Gdiplus::UnitPixel);
}

LRESULT CVNTUI_Skeo_EventListCtrl::customDraw(NMLVCUSTOMDRAW& draw) {
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        drawItem(draw.nmcd.hdc, static_cast<int>(draw.nmcd.dwItemSpec),
                 reinterpret_cast<const VNTSkeoEvent*>(draw.nmcd.lItemlParam));
        return CDRF_SKIPDEFAULT;
    default:
        return CDRF_DODEFAULT;
    }
}

bool CVNTUI_Skeo_EventListCtrl::OnReflectedMessage(UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
    if (message != WM_NOTIFY) return false;
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->hwndFrom != hwnd_ || header->code != static_cast<UINT>(NM_CUSTOMDRAW)) return false;
    *result = customDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
    return true;
}

void CVNTUI_Skeo_EventListCtrl::paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    const RECT client = GetClientRect();
    if (client.right > 0 && client.bottom > 0) {
        if (!buffer_.valid() || buffer_.width() != client.right || buffer_.height() != client.bottom)
            buffer_.create(dc, client.right, client.bottom);
        if (buffer_.valid()) {
            buffer_.fill(kBackground);
            // The list paints its items into the buffer (asking us to draw each), which then goes
            // to the screen in one copy: no flicker while a fill or a scroll repaints.
            Default(WM_PAINT, reinterpret_cast<WPARAM>(buffer_.dc()), 0);
            buffer_.copyTo(dc);
        }
    }
    EndPaint(hwnd_, &ps);
}

bool CVNTUI_Skeo_EventListCtrl::trackPosition(HWND bar, int kind, int& position) const {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    if (!bar) {
        if (!GetScrollInfo(hwnd_, kind, &info)) return false;
    } else {
        // Only a bar of this program is asked: the answer is written through a pointer.
        DWORD process = 0;
        if (!IsWindow(bar) || !GetWindowThreadProcessId(bar, &process) || process != GetCurrentProcessId()) return false;
        if (!SendMessageW(bar, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info))) return false;
    }
    position = info.nTrackPos;
    return true;
}

bool CVNTUI_Skeo_EventListCtrl::thumbScroll(UINT message, WPARAM wParam, HWND bar) {
    const int code = LOWORD(wParam);
    if (code != SB_THUMBTRACK && code != SB_THUMBPOSITION) return false;
    const RECT client = GetClientRect();
    eventlist::ScrollAxis axes[2];
    const int bars[2] = {SB_HORZ, SB_VERT};
    for (int i = 0; i < 2; ++i) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        if (GetScrollInfo(hwnd_, bars[i], &info)) axes[i] = {info.nMax, static_cast<int>(info.nPage), info.nPos};
    }
    const bool horizontal = message == WM_HSCROLL;
    const eventlist::ScrollAxis& axis = axes[horizontal ? 0 : 1];
    // The message has room for 16 bits of the position; a strip of more than 65,536 pixels needs
    // the rest from the bar.
    int track = 0;
    const bool hasTrack = trackPosition(bar, horizontal ? SB_HORZ : SB_VERT, track);
    const int target = eventlist::thumbPosition(HIWORD(wParam), hasTrack, track, axis.position, axis.max);
    const int pixels = eventlist::thumbScrollPixels(axis, horizontal ? client.right : client.bottom, target);
    if (pixels != 0) ListView_Scroll(hwnd_, horizontal ? pixels : 0, horizontal ? 0 : pixels);
    return true;
}

LRESULT CVNTUI_Skeo_EventListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        if (wParam) break;  // a caller's context: the list paints into it as it is
        paint();
        return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (thumbScroll(message, wParam, reinterpret_cast<HWND>(lParam))) return 0;
        break;
    case WM_TIMER:
        if (wParam == kFillStepTimer) {
            fillStep();
            return 0;
        }
        break;
    case kFillStepMessage:
        // Input or painting that arrived meanwhile goes first.
        if (HIWORD(GetQueueStatus(QS_INPUT | QS_PAINT)) != 0)
            SetTimer(hwnd_, kFillStepTimer, USER_TIMER_MINIMUM, nullptr);
        else
            fillStep();
        return 0;
    case WM_DESTROY:
        KillTimer(hwnd_, kFillStepTimer);
        removeAllItems();
        break;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
