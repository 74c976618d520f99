// A frame that wraps a list control and shows skinned scroll bars in place of the list's own:
// the list sits in an inner window sized so that its own bars fall outside it, and the skinned
// bars follow the list's scroll state and send it their requests.
#pragma once

#include "framework/Wnd.h"
#include "toolkit/CSkinScrollBar.h"

class CSkinScrollWnd : public vnt::CWnd {
public:
    static constexpr UINT kInnerParentId = 200;
    static constexpr UINT kVerticalBarId = 100;
    static constexpr UINT kHorizontalBarId = 101;
    static constexpr UINT_PTR kSyncTimer = 100;
    static constexpr UINT kSyncIntervalMs = 500;

    CSkinScrollWnd() = default;
    ~CSkinScrollWnd() override;

    // Wraps the list; the frame takes the list's place, border and control id. The skin bitmap
    // stays the caller's.
    bool Attach(HBITMAP skin, HWND list);
    // Gives the list back its procedure, parent, border and place.
    void Detach();
    // A DPI change: the skin drawn for the new DPI (still the caller's; the old one may go once
    // this returned true) and the bars' thickness and shortest thumb from it. False keeps the old skin.
    bool SetDpi(int dpi, HBITMAP skin);
    // A bar's thickness: one skin cell.
    int barThickness() const { return cell_; }

    HWND list() const { return list_; }
    HWND innerParent() const { return inner_.hwnd(); }
    CSkinScrollBar& verticalBar() { return vertical_; }
    CSkinScrollBar& horizontalBar() { return horizontal_; }
    // Copies the list's scroll state to the bars and shows the bars the list shows.
    void SyncBars();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    class InnerParent : public vnt::CWnd {
    public:
        explicit InnerParent(CSkinScrollWnd& frame) : frame_(frame) {}

    protected:
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    private:
        CSkinScrollWnd& frame_;
    };

    static LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void layout();
    // The width of the list's own vertical bar and the height of its horizontal one.
    SIZE ownBars() const;
    // The skin's cell, or 0 when the bitmap is no skin.
    static int cellOf(HBITMAP skin);
    void paintCorner(HDC dc);
    void forwardScroll(UINT message, WPARAM wParam);

    HBITMAP skin_ = nullptr;
    int cell_ = 0;
    HWND list_ = nullptr;
    HWND originalParent_ = nullptr;
    RECT originalRect_{};
    LONG_PTR originalStyle_ = 0;
    LONG_PTR originalExStyle_ = 0;
    WNDPROC listProc_ = nullptr;
    bool showVertical_ = false;
    bool showHorizontal_ = false;
    InnerParent inner_{*this};
    CSkinScrollBar vertical_;
    CSkinScrollBar horizontal_;
};
