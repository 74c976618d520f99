// The thumbnail strip of the photo library: a list-view in icon view, one owner-drawn item per photo,
// the oldest first, flowing top to bottom and then into further columns. Items own a copy of their
// database record; the thumbnails live in a map keyed by that copy. Only the most recently drawn
// thumbnails are kept (the strip shows a few dozen at most): a long session or a large library
// would otherwise hold one bitmap per photo for as long as the program runs. The others are made
// again from their photos when they are drawn.
//
// A fill loads thumbnails in steps of at most kFillStepMs, one posted message apart, so that a large
// library never holds the user-interface thread for long; the strip's start shows at once, the rest when it is all in. The order stays oldest first throughout:
// records still waiting in a fill go in after those already filled and before any photo added with
// addItem meanwhile, which is a newer snapshot.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "framework/BackBuffer.h"
#include "framework/Gdiplus.h"
#include "framework/Handles.h"
#include "framework/Wnd.h"
#include "library/VNTSkeoEvent.h"
#include "ui/EventStripGeometry.h"

class VNTSkeoDatabaseManager;

class CVNTUI_Skeo_EventListCtrl : public vnt::CWnd {
public:
    // At 100 %: landscape; portrait and square photos get 33. metrics() has them at the strip's DPI.
    static constexpr int kThumbnailWidth = 60;
    static constexpr int kThumbnailHeight = 45;
    static constexpr COLORREF kBackground = RGB(40, 40, 40);
    static constexpr COLORREF kSelection = RGB(255, 255, 255);
    static constexpr DWORD kFillStepMs = 25;
    static constexpr size_t kThumbnailsKept = 128;

    CVNTUI_Skeo_EventListCtrl() = default;
    ~CVNTUI_Skeo_EventListCtrl() override;

    // Takes over a list-view (from a dialog template or made by the caller) and sets it up as the
    // strip: icon view, auto-arranged to the left, several items selectable, selection shown without
    // focus, its image list, icon spacing, font and colours.
    bool Attach(HWND list);

    // Takes the item sizes, spacing and font of that DPI (the list's own when attached) and
    // arranges the items again; thumbnails are made anew at that size as they are drawn.
    void SetDpi(int dpi);
    int dpi() const { return dpi_; }
    // Thumbnail, item and font sizes at the strip's DPI.
    const eventlist::StripMetrics& metrics() const { return metrics_; }
    HFONT font() const { return font_.get(); }

    // Adds the records (newest first, as the database lists them) oldest first. A record whose photo
    // cannot be read gets no item and is dropped from the database, its file left where it is.
    // The first step runs at once, the rest from the message loop.
    void fillList(const std::vector<VNTSkeoEvent>& records, VNTSkeoDatabaseManager& database);
    // True until the last record of a fill is in and shown.
    bool fillPending() const { return !pending_.empty() || stepScheduled_; }
    // The longest a fill step goes on loading; 0 takes one record per step.
    void setFillStepMs(DWORD ms) { fillStepMs_ = ms; }
    // How many thumbnails are kept at least; up to a quarter more are held before the least
    // recently drawn go.
    void setThumbnailsKept(size_t count) { thumbnailsKept_ = count; }
    size_t thumbnailsHeld() const { return thumbnails_.size(); }
    // Called once the last pending record of a fill is in.
    void setFillFinishedHandler(std::function<void()> handler) { fillFinished_ = std::move(handler); }

    // 1 when the photo's thumbnail was made and the item appended, 0 (nothing added) otherwise.
    int addItem(const VNTSkeoEvent& record);
    // 1 when an item was removed; an index outside the list changes nothing and gives 0.
    int removeItem(int index);
    // Removes the items at the indices (any order) in one go and lays out the rest again; returns
    // how many went. A fill that holds redrawing off keeps it off and shows the change at its next step.
    int removeItems(std::vector<int> indices);
    // Empties the strip, pending fill records included.
    void removeAllItems();
    void selectOnly(int index);
    // Moves the focus by +1 or -1, wrapping; with Shift held the selection grows or shrinks by one.
    void moveSelection(int step);
    // The selected items, in item order.
    std::vector<int> selectedIndices() const;
    // The records of the selected items, in item order.
    std::vector<VNTSkeoEvent> selectedEvents() const;
    // Makes the selected items' thumbnails anew from their files (after a rotation) and repaints.
    void reloadSelectedThumbnails();
    // The thumbnails of the items showing these photos, made anew.
    void reloadThumbnails(const std::vector<std::wstring>& paths);

    int itemCount() const;
    // The record of an item, or null outside the list.
    const VNTSkeoEvent* eventAt(int index) const;
    // The rectangle an item is drawn in (client coordinates): selection white, thumbnail centred.
    RECT itemCell(int index) const { return cellRect(index); }

    bool OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    struct PendingRecord {
        VNTSkeoEvent record;
        int databaseIndex;
        VNTSkeoDatabaseManager* database;
    };

    void setUp();
    void applyDpi(int dpi);
    // The record's thumbnail at the strip's scale; null when its photo cannot be read.
    std::unique_ptr<Gdiplus::Bitmap> loadThumbnail(const VNTSkeoEvent& record) const;
    void reloadThumbnail(int index);
    // Keeps an item's thumbnail (null: its photo cannot be read, drawn as background until reloaded)
    // as the most recently used, letting the least recently used go when too many are held.
    void keepThumbnail(const VNTSkeoEvent* record, std::unique_ptr<Gdiplus::Bitmap> thumbnail);
    // Inserts an item at `index` for a record whose thumbnail is made; false if the list refused it.
    bool insertItem(int index, const VNTSkeoEvent& record, std::unique_ptr<Gdiplus::Bitmap> thumbnail);
    void setReportView(bool report);
    void fillStep();
    void scheduleFillStep();
    void cancelFill();
    void setRedraw(bool on);
    LRESULT customDraw(NMLVCUSTOMDRAW& draw);
    // Where an item is drawn: its selection bounds, at least large enough for a thumbnail.
    RECT cellRect(int index) const;
    void drawItem(HDC dc, int index, const VNTSkeoEvent* record);
    void paint();
    // The thumb dragged on the list's own bar, or on the scroll bar control named by bar.
    bool thumbScroll(UINT message, WPARAM wParam, HWND bar);
    // The full tracking position of that bar; false when it has none to give.
    bool trackPosition(HWND bar, int kind, int& position) const;

    struct HeldThumbnail {
        std::unique_ptr<Gdiplus::Bitmap> bitmap;
        unsigned long long lastUse = 0;
    };
    std::map<const VNTSkeoEvent*, HeldThumbnail> thumbnails_;
    unsigned long long uses_ = 0;
    size_t thumbnailsKept_ = kThumbnailsKept;
    std::deque<PendingRecord> pending_;
    int fillAt_ = 0;  // where the next pending record goes: after the filled ones, before newer photos
    bool stepScheduled_ = false;
    DWORD fillStepMs_ = kFillStepMs;
    bool showDue_ = false;    // the next step shows what is in
    bool redrawOff_ = false;  // a fill holds redrawing off between its steps
    bool shownOnce_ = false;  // the fill has shown its first records
    bool showSoon_ = false;   // a snapshot came in while redrawing was off
    bool finishDue_ = false;  // the last records are in and arranged; paint and report
    std::function<void()> fillFinished_;
    vnt::FontHandle font_;
    int dpi_ = 0;
    eventlist::StripMetrics metrics_ = eventlist::stripMetrics();
    vnt::BackBuffer buffer_;
};
