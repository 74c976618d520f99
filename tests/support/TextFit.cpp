#include "tests/support/TextFit.h"

#include <string>

#include "framework/Dpi.h"

namespace testsupport {

namespace {

// The parts a control draws beside its text, at 96 DPI: a check box's box and the gap after it, a
// group box's caption inset from its frame, a push button's edge and focus rectangle.
constexpr int kCheckBox96 = 13;
constexpr int kCheckGap96 = 4;
constexpr int kGroupInset96 = 7;
constexpr int kButtonEdge96 = 3;

enum class Kind { None, Text, Check, Group, Push, Combo };

struct Measure {
    Kind kind = Kind::None;
    bool wraps = false;
    bool prefix = true;  // & underlines the next character
};

std::wstring className(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring windowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    if (length > 0) GetWindowTextW(window, &text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

Measure measureOf(HWND control) {
    const std::wstring name = className(control);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    Measure m;
    if (_wcsicmp(name.c_str(), L"Static") == 0) {
        switch (style & SS_TYPEMASK) {
        case SS_LEFT:
        case SS_CENTER:
        case SS_RIGHT:
            m.kind = Kind::Text;
            m.wraps = true;
            break;
        case SS_LEFTNOWORDWRAP:
        case SS_SIMPLE:
            m.kind = Kind::Text;
            break;
        default:
            break;  // pictures and frames
        }
        m.prefix = !(style & SS_NOPREFIX);
    } else if (_wcsicmp(name.c_str(), L"Button") == 0) {
        switch (style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            m.kind = Kind::Push;
            break;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            m.kind = Kind::Check;
            break;
        case BS_GROUPBOX:
            m.kind = Kind::Group;
            break;
        default:
            break;  // drawn by its owner
        }
        m.wraps = (style & BS_MULTILINE) != 0;
    } else if (_wcsicmp(name.c_str(), L"ComboBox") == 0) {
        m.kind = Kind::Combo;
    }
    return m;
}

}  // namespace

std::vector<TextMisfit> textMisfits(HWND dialog) {
    std::vector<TextMisfit> misfits;
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        if (!(GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE)) continue;
        const Measure m = measureOf(control);
        if (m.kind == Kind::None) continue;
        const std::wstring text = windowText(control);
        if (text.empty()) continue;

        const int dpi = vnt::windowDpi(control);
        RECT client{};
        GetClientRect(control, &client);
        RECT room = client;
        int beside = 0;  // what the control draws on the text's line besides the text
        switch (m.kind) {
        case Kind::Check:
            beside = vnt::scalePx(kCheckBox96 + kCheckGap96, dpi);
            break;
        case Kind::Group:
            beside = 2 * vnt::scalePx(kGroupInset96, dpi);
            break;
        case Kind::Push:
            beside = 2 * vnt::scalePx(kButtonEdge96, dpi);
            break;
        case Kind::Combo: {
            // The text shows in the item area, beside the drop-down button.
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            if (GetComboBoxInfo(control, &info)) room = info.rcItem;
            break;
        }
        default:
            break;
        }

        HDC dc = GetDC(control);
        auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
        const HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
        UINT format = DT_CALCRECT | DT_EXPANDTABS | (m.prefix ? 0u : DT_NOPREFIX);
        RECT needed{0, 0, (room.right - room.left) - beside, 0};
        if (m.wraps) {
            format |= DT_WORDBREAK;
        } else {
            format |= DT_SINGLELINE;
        }
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed, format);
        SelectObject(dc, old);
        ReleaseDC(control, dc);

        const int neededWidth = needed.right - needed.left + beside;
        const int neededHeight = needed.bottom - needed.top;
        if (neededWidth > room.right - room.left || neededHeight > room.bottom - room.top) {
            TextMisfit misfit;
            misfit.id = GetDlgCtrlID(control);
            misfit.text = text;
            misfit.needed = SIZE{neededWidth, neededHeight};
            misfit.room = SIZE{room.right - room.left, room.bottom - room.top};
            misfits.push_back(misfit);
        }
    }
    return misfits;
}

std::string describe(const std::vector<TextMisfit>& misfits) {
    std::string out;
    for (const TextMisfit& m : misfits) {
        const int bytes =
            WideCharToMultiByte(CP_UTF8, 0, m.text.c_str(), static_cast<int>(m.text.size()), nullptr, 0, nullptr, nullptr);
        std::string text(static_cast<size_t>(bytes), '\0');
        if (bytes > 0)
            WideCharToMultiByte(CP_UTF8, 0, m.text.c_str(), static_cast<int>(m.text.size()), &text[0], bytes, nullptr,
                                nullptr);
        out += "control " + std::to_string(m.id) + " \"" + text + "\" needs " + std::to_string(m.needed.cx) + " x " +
               std::to_string(m.needed.cy) + ", has " + std::to_string(m.room.cx) + " x " + std::to_string(m.room.cy) +
               "\n";
    }
    return out;
}

}  // namespace testsupport
