#include "toolkit/CToolTip.h"

#include <windows.h>
#include <commctrl.h>

#include "framework/Dpi.h"
#include "toolkit/ControlMetrics.h"

CToolTip::~CToolTip() {
    if (tooltip_ && IsWindow(tooltip_)) DestroyWindow(tooltip_);
}

bool CToolTip::set(HWND control, const std::wstring& text) {
    if (!control) return false;
    text_ = text;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(control) ? GetParent(control) : control;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text_.c_str());
    if (!tooltip_ || control_ != control) {
        if (tooltip_) DestroyWindow(tooltip_);
        tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, control, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        control_ = control;
        if (!tooltip_) return false;
        SetDpi(vnt::windowDpi(control));
        if (!SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) return false;
    } else {
        SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    SendMessageW(tooltip_, TTM_ACTIVATE, TRUE, 0);
    return true;
}

void CToolTip::SetDpi(int dpi) {
    if (tooltip_) SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, vnt::scalePx(toolkit::kTipMaxWidth96, dpi));
}

int CToolTip::maxWidth() const {
    return tooltip_ ? static_cast<int>(SendMessageW(tooltip_, TTM_GETMAXTIPWIDTH, 0, 0)) : 0;
}
