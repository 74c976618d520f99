// The web link: its colours and underline as the cursor comes and goes, its size, and the browser
// it starts when the shell cannot open the address itself.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StringIds.h"
#include "app/VNTLanguageSelector.h"
#include "framework/Dpi.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Wait.h"
#include "tests/toolkit/ToolkitFixture.h"
#include "toolkit/CColorStatic.h"
#include "toolkit/CXHyperLink.h"

using toolkittest::ToolkitTest;

namespace {

const wchar_t kPageClass[] = L"VntTestWebPage";
// No handler is registered for this scheme, so the shell's own open fails.
const wchar_t kAddress[] = L"vnt-test-nohandler:page-1";

bool readDefault(HKEY root, const wchar_t* key, std::wstring& value) {
    wchar_t buffer[512];
    LONG size = sizeof buffer;
    if (RegQueryValueW(root, key, buffer, &size) != ERROR_SUCCESS) return false;
    value = buffer;
    return true;
}

bool writeDefault(HKEY root, const std::wstring& key, const std::wstring& value) {
    return RegSetValueW(root, key.c_str(), REG_SZ, value.c_str(), static_cast<DWORD>(value.size() * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
}

// Points the web-page association at a browser, and puts it back afterwards.
class PageAssociation {
public:
    PageAssociation() { hadOld_ = readDefault(HKEY_CLASSES_ROOT, L".htm", old_); }
    ~PageAssociation() {
        if (hadOld_) {
            writeDefault(HKEY_CLASSES_ROOT, L".htm", old_);
        } else {
            RegDeleteKeyW(HKEY_CLASSES_ROOT, L".htm");
        }
        RegDeleteTreeW(HKEY_CLASSES_ROOT, kPageClass);
    }
    bool point(const std::wstring& command) {
        return writeDefault(HKEY_CLASSES_ROOT, L".htm", kPageClass) &&
               writeDefault(HKEY_CLASSES_ROOT, std::wstring(kPageClass) + L"\\shell\\open\\command", command);
    }

private:
    bool hadOld_ = false;
    std::wstring old_;
};

std::wstring readWide(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return L"";
    std::vector<wchar_t> buffer(4096, L'\0');
    DWORD read = 0;
    ReadFile(file, buffer.data(), static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t)), &read, nullptr);
    CloseHandle(file);
    return std::wstring(buffer.data(), read / sizeof(wchar_t));
}

COLORREF textColourOf(HWND host, HWND link) {
    HDC dc = GetDC(link);
    SendMessageW(host, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(link));
    const COLORREF colour = GetTextColor(dc);
    ReleaseDC(link, dc);
    return colour;
}

bool underlined(HWND link) {
    LOGFONTW lf{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(link, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    return lf.lfUnderline != 0;
}

}  // namespace

class XHyperLinkTest : public ToolkitTest {
protected:
    HWND makeStatic(const wchar_t* text) {
        HWND control = CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFT, 30, 300, 400, 40,
                                       host_->hwnd(), reinterpret_cast<HMENU>(2005), GetModuleHandleW(nullptr), nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        return control;
    }
};

TEST_F(XHyperLinkTest, ColoursAndUnderlineFollowHoverAndVisitedAndTheControlFitsItsText) {
    CXHyperLink link;
    ASSERT_TRUE(link.Attach(makeStatic(L"www.vantor.example")));
    EXPECT_EQ(link.GetURL(), L"www.vantor.example") << "the text is the address when none is set";
    EXPECT_EQ(textColourOf(host_->hwnd(), link.hwnd()), RGB(0, 0, 238));
    EXPECT_FALSE(underlined(link.hwnd()));

    // Auto-size: the control shrinks to its text, kept whole on one line, vertically centred in the old place.
    HDC dc = GetDC(link.hwnd());
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(link.hwnd(), WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(dc, L"www.vantor.example", 18, &extent);
    const RECT rc = link.GetRectInParent();
    RECT wrapped{0, 0, rc.right - rc.left, 0};
    DrawTextW(dc, L"www.vantor.example", 18, &wrapped, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(link.hwnd(), dc);
    EXPECT_GE(rc.right - rc.left, extent.cx);
    EXPECT_LE(rc.right - rc.left, extent.cx + 4);
    EXPECT_EQ(wrapped.bottom, extent.cy) << "the text fits on one line in the control's width";
    EXPECT_EQ(rc.bottom - rc.top, extent.cy);
    EXPECT_EQ(rc.left, 30);
    EXPECT_EQ(rc.top, 300 + (40 - extent.cy) / 2);

    SetCursorPos(2, 2);  // well away from the host window
    SendMessageW(link.hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    EXPECT_TRUE(link.hovered());
    EXPECT_TRUE(underlined(link.hwnd()));
    EXPECT_EQ(textColourOf(host_->hwnd(), link.hwnd()), RGB(255, 0, 0));
    SendMessageW(link.hwnd(), WM_TIMER, CXHyperLink::kHoverTimer, 0);
    EXPECT_FALSE(link.hovered()) << "the cursor is not over the link";
    EXPECT_FALSE(underlined(link.hwnd()));

    link.SetVisited(true);
    EXPECT_EQ(textColourOf(host_->hwnd(), link.hwnd()), RGB(85, 26, 139));
    link.SetColours(RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255));
    EXPECT_EQ(textColourOf(host_->hwnd(), link.hwnd()), RGB(255, 255, 255));
}

TEST_F(XHyperLinkTest, WhenTheShellCannotOpenTheAddressTheRegisteredBrowserRunsWideFromANonAnsiPath) {
    testsupport::TempFolder temp(L"hyperlink");
    // Katakana and kanji: no single-byte ANSI code page holds this folder's name.
    const std::wstring folder = temp.path() + L"\u30d6\u30e9\u30a6\u30b6 \u95b2\u89a7\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring browser = folder + L"browser.exe";
    ASSERT_TRUE(CopyFileW(testsupport::besideTestProgram(L"hyperlink_probe.exe").c_str(), browser.c_str(), FALSE));
    const std::wstring out = temp.path() + L"command-line.txt";
    ASSERT_TRUE(SetEnvironmentVariableW(L"SKEO_PROBE_OUT", out.c_str()));

    PageAssociation association;
    ASSERT_TRUE(association.point(L"\"" + browser + L"\" \"%1\""));

    CXHyperLink link;
    ASSERT_TRUE(link.Attach(makeStatic(L"Vantor")));
    link.SetURL(kAddress);
    link.SetNotifyParent(true);
    host_->recordAlso(CXHyperLink::clickedMessage());
    SendMessageW(link.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(link.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    ASSERT_TRUE(testsupport::waitUntil([&] { return !readWide(out).empty(); }, 20000)) << "the browser never ran";
    EXPECT_EQ(readWide(out), L"\"" + browser + L"\" " + kAddress);
    EXPECT_TRUE(link.visited());
    bool told = false;
    for (const auto& r : host_->records()) told |= r.message == CXHyperLink::clickedMessage() && r.wParam == 2005;
    EXPECT_TRUE(told) << "the parent hears of the click";
    SetEnvironmentVariableW(L"SKEO_PROBE_OUT", nullptr);
}

TEST_F(XHyperLinkTest, ALinkNothingCanOpenStaysUnvisited) {
    PageAssociation association;
    ASSERT_TRUE(association.point(L"\"C:\\no such folder\\browser.exe\" \"%1\""));
    CXHyperLink link;
    ASSERT_TRUE(link.Attach(makeStatic(L"Vantor")));
    link.SetURL(kAddress);
    EXPECT_FALSE(link.GotoURL());
    EXPECT_FALSE(link.visited());
}

TEST_F(XHyperLinkTest, AtEveryDisplayScaleALinkWithTheSystemFontFitsItsTextInEveryLanguage) {
    LOGFONTW stock{};
    ASSERT_TRUE(GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof stock, &stock));
    for (LANGID language : {VNTLanguageSelector::kEnglish, VNTLanguageSelector::kTraditionalChinese,
                            VNTLanguageSelector::kJapanese}) {
        std::wstring text;
        ASSERT_TRUE(VNTLanguageSelector::loadString(language, IDS_PRESS_ENTER_HINT, text));
        // No font from the parent: the link draws in the system's.
        HWND control = CreateWindowExW(0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, 30, 300, 20, 10,
                                       host_->hwnd(), reinterpret_cast<HMENU>(2005), GetModuleHandleW(nullptr), nullptr);
        CXHyperLink link;
        ASSERT_TRUE(link.Attach(control));
        for (int dpi : {96, 120, 144, 192, vnt::windowDpi(host_->hwnd())}) {
            SCOPED_TRACE(testing::Message() << "language " << language << ", " << dpi << " DPI");
            link.SetDpi(dpi);
            HFONT font = reinterpret_cast<HFONT>(SendMessageW(link.hwnd(), WM_GETFONT, 0, 0));
            LOGFONTW lf{};
            ASSERT_TRUE(GetObjectW(font, sizeof lf, &lf));
            EXPECT_EQ(lf.lfHeight, MulDiv(stock.lfHeight, dpi, vnt::systemDpi())) << "the system's font at that DPI";
            EXPECT_TRUE(toolkittest::textFits(link.hwnd()));
        }
        DestroyWindow(control);
    }
}

TEST_F(XHyperLinkTest, TooltipsGrowWithTheDisplayScale) {
    const int dpi = vnt::windowDpi(host_->hwnd());
    CColorStatic hint;
    ASSERT_TRUE(hint.CreateEx(0, L"STATIC", L"hint", WS_CHILD | WS_VISIBLE, 30, 300, 100, 16, host_->hwnd(), 1009));
    hint.SetTooltip(L"a tip");
    EXPECT_EQ(hint.tooltip().maxWidth(), vnt::scalePx(400, dpi)) << "made at the control's DPI";
    for (int d : {96, 120, 144, 192}) {
        hint.SetDpi(d);
        EXPECT_EQ(hint.tooltip().maxWidth(), vnt::scalePx(400, d)) << d << " DPI";
    }
}
