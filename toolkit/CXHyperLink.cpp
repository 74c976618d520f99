#include "toolkit/CXHyperLink.h"

#include <shellapi.h>

#include <vector>

#include "framework/Trace.h"
#include "toolkit/BrowserCommandLine.h"

namespace {

bool readDefaultValue(HKEY root, const std::wstring& subKey, std::wstring& value) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subKey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    vnt::RegKey owner(key);
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || size == 0)
        return false;
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS)
        return false;
    value.assign(buffer.data());
    return !value.empty();
}

}  // namespace

UINT CXHyperLink::clickedMessage() {
    static const UINT message = RegisterWindowMessageW(L"WM_XHYPERLINK_CLICKED");
    return message;
}

bool CXHyperLink::Attach(HWND control) {
    if (!SubclassWindow(control)) return false;
    // Static controls see the mouse only when they ask to notify.
    SetWindowLongPtrW(hwnd_, GWL_STYLE, GetWindowLongPtrW(hwnd_, GWL_STYLE) | SS_NOTIFY);
    dpi_ = vnt::windowDpi(hwnd_);
    makeFonts(reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
    if (url_.empty()) {
        wchar_t text[1024];
        if (GetWindowTextW(hwnd_, text, 1024) > 0) url_ = text;
    }
    tooltip_.set(hwnd_, url_);
    applyFont();
    return true;
}

void CXHyperLink::makeFonts(HFONT base) {
    parentFont_ = base != nullptr;
    normalFont_ = base ? base : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW lf{};
    GetObjectW(normalFont_, sizeof lf, &lf);
    if (!base && dpi() != vnt::systemDpi()) {
        // The stock font is made for the system DPI.
        lf.lfHeight = MulDiv(lf.lfHeight, dpi(), vnt::systemDpi());
        ownFont_.reset(CreateFontIndirectW(&lf));
        if (ownFont_) normalFont_ = ownFont_.get();
    }
    lf.lfUnderline = TRUE;
    underlinedFont_.reset(CreateFontIndirectW(&lf));
}

void CXHyperLink::applyFont() {
    if (!hwnd_) return;
    const bool underlined = underline_ == UnderlineAlways || (underline_ == UnderlineHover && hovered_);
    HFONT font = underlined && underlinedFont_ ? underlinedFont_.get() : normalFont_;
    // Through the previous procedure: our own WM_SETFONT handling would rebuild the fonts.
    Default(WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    fitToText();
    Invalidate();
}

void CXHyperLink::SetDpi(int dpi) {
    if (dpi <= 0) {
        vnt::trace(L"CXHyperLink: DPI %d ignored", dpi);
        return;
    }
    dpi_ = dpi;
    tooltip_.SetDpi(dpi);
    if (!parentFont_) makeFonts(nullptr);
    applyFont();
}

void CXHyperLink::SetFont(HFONT font) {
    makeFonts(font);
    applyFont();
}

void CXHyperLink::SetURL(const std::wstring& url) {
    url_ = url;
    if (hwnd_) tooltip_.set(hwnd_, url_);
}

void CXHyperLink::SetColours(COLORREF link, COLORREF visited, COLORREF hover) {
    link_ = link;
    visitedColour_ = visited;
    hover_ = hover;
    Invalidate();
}

void CXHyperLink::SetBackgroundColour(COLORREF colour) {
    hasBackground_ = true;
    background_ = colour;
    brush_.reset(CreateSolidBrush(colour));
    Invalidate();
}

void CXHyperLink::SetUnderline(Underline mode) {
    underline_ = mode;
    applyFont();
}

void CXHyperLink::SetAutoSize(bool on) {
    autoSize_ = on;
    fitToText();
}

void CXHyperLink::SetVisited(bool visited) {
    visited_ = visited;
    Invalidate();
}

COLORREF CXHyperLink::currentColour() const { return hovered_ ? hover_ : visited_ ? visitedColour_ : link_; }

void CXHyperLink::fitToText() {
    if (!autoSize_ || !hwnd_) return;
    wchar_t text[1024];
    const int length = GetWindowTextW(hwnd_, text, 1024);
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
    // Measured as the static control draws, so that its line breaking never wraps the last word.
    RECT bounds{0, 0, 0x7FFF, 0};  // no narrower than the text: it must not wrap
    DrawTextW(dc, text, length, &bounds, DT_CALCRECT | DT_LEFT | DT_EXPANDTABS | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    const SIZE extent{bounds.right, bounds.bottom};

    RECT rc = GetRectInParent();
    const int width = rc.right - rc.left, height = rc.bottom - rc.top;
    const int newWidth = extent.cx;
    const int newHeight = extent.cy;
    const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    int left = rc.left;
    if ((style & SS_TYPEMASK) == SS_CENTER) left = rc.left + (width - newWidth) / 2;
    if ((style & SS_TYPEMASK) == SS_RIGHT) left = rc.right - newWidth;
    if (newWidth == width && newHeight == height && left == rc.left) return;
    const int top = rc.top + (height - newHeight) / 2;
    SetWindowPos(hwnd_, nullptr, left, top, newWidth, newHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

HCURSOR CXHyperLink::handCursor() {
    static HCURSOR cursor = nullptr;
    if (cursor) return cursor;
    cursor = LoadCursorW(nullptr, IDC_HAND);
    if (!cursor) {
        // Systems without the hand cursor still have the help viewer's pointing hand.
        wchar_t path[MAX_PATH];
        if (GetWindowsDirectoryW(path, MAX_PATH)) {
            std::wstring viewer = std::wstring(path) + L"\\winhlp32.exe";
            HMODULE module = LoadLibraryExW(viewer.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
            if (module) {
                HCURSOR help = LoadCursorW(module, MAKEINTRESOURCEW(106));
                if (help) cursor = CopyCursor(help);
                FreeLibrary(module);
            }
        }
    }
    return cursor;
}

bool CXHyperLink::openWithRegisteredBrowser() const {
    std::wstring pageClass, command;
    if (!readDefaultValue(HKEY_CLASSES_ROOT, L".htm", pageClass) ||
        !readDefaultValue(HKEY_CLASSES_ROOT, pageClass + L"\\shell\\open\\command", command))
        return false;
    // Run wide: a browser installed under a path outside the ANSI code page must still start.
    std::wstring line = toolkit::browserCommandLine(command, url_);
    std::vector<wchar_t> mutableLine(line.begin(), line.end());
    mutableLine.push_back(L'\0');
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        vnt::trace(L"CXHyperLink: cannot start the browser (%lu)", GetLastError());
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool CXHyperLink::GotoURL() {
    const auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", url_.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    const bool opened = result > 32 || openWithRegisteredBrowser();
    if (opened) {
        SetVisited(true);
    } else {
        MessageBeep(MB_ICONEXCLAMATION);
    }
    return opened;
}

void CXHyperLink::onMouseMove() {
    if (hovered_) return;
    hovered_ = true;
    applyFont();
    SetTimer(hwnd_, kHoverTimer, kHoverIntervalMs, nullptr);
}

void CXHyperLink::onHoverTimer() {
    POINT cursor;
    GetCursorPos(&cursor);
    RECT rc;
    GetWindowRect(hwnd_, &rc);
    if (PtInRect(&rc, cursor)) return;
    hovered_ = false;
    KillTimer(hwnd_, kHoverTimer);
    applyFont();
}

bool CXHyperLink::OnReflectedMessage(UINT message, WPARAM wParam, LPARAM, LRESULT* result) {
    if (message != WM_CTLCOLORSTATIC) return false;
    HDC dc = reinterpret_cast<HDC>(wParam);
    SetTextColor(dc, currentColour());
    SetBkMode(dc, TRANSPARENT);
    *result = reinterpret_cast<LRESULT>(hasBackground_ ? brush_.get() : GetStockObject(NULL_BRUSH));
    return true;
}

LRESULT CXHyperLink::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETCURSOR:
        if (HCURSOR cursor = handCursor()) {
            SetCursor(cursor);
            return TRUE;
        }
        break;
    case WM_MOUSEMOVE:
        onMouseMove();
        break;
    case WM_TIMER:
        if (wParam == kHoverTimer) {
            onHoverTimer();
            return 0;
        }
        break;
    case WM_LBUTTONUP: {
        const LRESULT result = Default(message, wParam, lParam);
        GotoURL();
        if (notifyParent_) SendMessageW(GetParent(), clickedMessage(), static_cast<WPARAM>(GetDlgCtrlID()), 0);
        return result;
    }
    case WM_SETFONT: {
        makeFonts(reinterpret_cast<HFONT>(wParam));
        const LRESULT result = Default(message, wParam, lParam);
        applyFont();
        return result;
    }
    case WM_SETTEXT: {
        const LRESULT result = Default(message, wParam, lParam);
        fitToText();
        return result;
    }
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}
