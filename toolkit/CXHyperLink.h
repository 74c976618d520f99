// A static text that is a web link: link, visited and hover colours, underlined while hovered,
// the hand cursor, and a click opens the address in the browser.
#pragma once

#include <string>

#include "framework/Dpi.h"
#include "framework/Handles.h"
#include "framework/Wnd.h"
#include "toolkit/CToolTip.h"

class CXHyperLink : public vnt::CWnd {
public:
    enum Underline { UnderlineHover, UnderlineAlways, UnderlineNever };
    static constexpr UINT_PTR kHoverTimer = 100;
    static constexpr UINT kHoverIntervalMs = 100;

    CXHyperLink() = default;

    bool Attach(HWND control);

    void SetURL(const std::wstring& url);
    const std::wstring& GetURL() const { return url_; }
    void SetColours(COLORREF link, COLORREF visited, COLORREF hover);
    // Without a background colour the text is drawn over the parent's background.
    void SetBackgroundColour(COLORREF colour);
    void SetUnderline(Underline mode);
    void SetAutoSize(bool on);
    void SetFont(HFONT font);
    void SetNotifyParent(bool on) { notifyParent_ = on; }
    void SetVisited(bool visited);
    // The tip's width and, for a link without a font of its own, the system's font at the DPI; the
    // control fits its text again. A font from the parent is the parent's to make for the DPI.
    void SetDpi(int dpi);
    int dpi() const { return dpi_ > 0 ? dpi_ : vnt::windowDpi(hwnd_); }

    bool visited() const { return visited_; }
    bool hovered() const { return hovered_; }
    COLORREF currentColour() const;
    // Opens the address as a click does; true when a browser was started.
    bool GotoURL();
    // The registered message the parent gets, with the control id, after a click when asked to.
    static UINT clickedMessage();

    bool OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void makeFonts(HFONT base);
    void applyFont();
    void fitToText();
    void onMouseMove();
    void onHoverTimer();
    static HCURSOR handCursor();
    // The browser registered for web pages, started with the address.
    bool openWithRegisteredBrowser() const;

    std::wstring url_;
    COLORREF link_ = RGB(0, 0, 238);
    COLORREF visitedColour_ = RGB(85, 26, 139);
    COLORREF hover_ = RGB(255, 0, 0);
    bool hasBackground_ = false;
    COLORREF background_ = 0;
    vnt::BrushHandle brush_;
    Underline underline_ = UnderlineHover;
    bool autoSize_ = true;
    HFONT normalFont_ = nullptr;  // not owned, unless it is ownFont_
    bool parentFont_ = false;
    vnt::UniqueHandle<vnt::GdiObjectTraits<HFONT>> ownFont_;
    int dpi_ = 0;
    vnt::UniqueHandle<vnt::GdiObjectTraits<HFONT>> underlinedFont_;
    bool visited_ = false;
    bool hovered_ = false;
    bool notifyParent_ = false;
    CToolTip tooltip_;
};
