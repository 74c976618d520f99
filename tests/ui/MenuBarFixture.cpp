#include "tests/ui/MenuBarFixture.h"

#include <algorithm>
#include <ostream>

#include "app/VNTLanguageSelector.h"
#include "framework/Dpi.h"
#include "ui/MenuBarLayout.h"

namespace uitest {

std::ostream& operator<<(std::ostream& out, const Command& c) {
    return out << "{" << c.id << ", " << static_cast<long long>(c.value) << "}";
}

const wchar_t* languageTag(LANGID language) {
    switch (language) {
    case kChinese: return L"zh-TW";
    case kJapanese: return L"ja";
    default: return L"en";
    }
}

int MenuBarTest::dpi() const { return vnt::windowDpi(host_->hwnd()); }

void MenuBarTest::SetUp() {
    ToolkitTest::SetUp();
    const int width = scale().px(kHostWidth), height = scale().px(kHostHeight);
    SetWindowPos(host_->hwnd(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    host_->backBuffer().create(nullptr, width, height);
    host_->backBuffer().fill(toolkittest::kPanel);
    host_->recordAlso(WM_COMMAND);
    host_->recordAlso(WM_KEYDOWN);
    VNTLanguageSelector::instance().Initialize();
    setLanguage(kEnglish);
    SetForegroundWindow(host_->hwnd());
    bar_ = std::make_unique<CVNTUI_Skeo_MenuBar>();
    ASSERT_TRUE(bar_->Create(host_->hwnd()));
    dock();
    ShowWindow(bar_->hwnd(), SW_SHOW);
    pump();
    host_->records().clear();
}

void MenuBarTest::TearDown() {
    // The bar's own destruction, not the host's sweep of its children, takes it and its panels down.
    bar_.reset();
    ToolkitTest::TearDown();
}

void MenuBarTest::dock() {
    const menubar::BarSize size = bar_->dockedSize();
    SetWindowPos(bar_->hwnd(), nullptr, 0, 0, size.width, size.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MenuBarTest::floatBar() {
    const menubar::BarSize size = bar_->floatingSize();
    SetWindowPos(bar_->hwnd(), nullptr, 0, 0, size.width, size.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::vector<Command> MenuBarTest::commands() {
    pump();
    std::vector<Command> found;
    for (const auto& r : host_->records()) {
        if (r.message == WM_COMMAND) found.push_back({LOWORD(r.wParam), r.lParam});
    }
    auto& records = host_->records();
    records.erase(std::remove_if(records.begin(), records.end(), [](const auto& r) { return r.message == WM_COMMAND; }),
                  records.end());
    return found;
}

std::vector<WPARAM> MenuBarTest::keys() {
    std::vector<WPARAM> found;
    for (const auto& r : host_->records()) {
        if (r.message == WM_KEYDOWN) found.push_back(r.wParam);
    }
    return found;
}

CVNTUI_Skeo_Menu& MenuBarTest::item(int id) {
    CVNTUI_Skeo_Menu* menu = bar_->item(id);
    EXPECT_NE(menu, nullptr) << id;
    return *menu;
}

void MenuBarTest::press(int itemId) { SendMessageW(item(itemId).hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10)); }

void MenuBarTest::click(CVNTUI_Skeo_MenuShow& panel, int x, int y) {
    SendMessageW(panel.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
}

void MenuBarTest::clickRow(CVNTUI_Skeo_MenuShow& panel, int row) {
    const skeo::DisplayScale scale(panel.dpi());
    click(panel, scale.px(40), menubar::rowTop(row, scale) + scale.px(10));
}

void MenuBarTest::key(HWND window, UINT vk) { SendMessageW(window, WM_KEYDOWN, vk, 1); }

std::wstring MenuBarTest::text(LANGID language, UINT stringId) {
    std::wstring s;
    EXPECT_TRUE(VNTLanguageSelector::loadString(language, stringId, s)) << stringId << " in " << language;
    return s;
}

void MenuBarTest::setLanguage(LANGID language) { VNTLanguageSelector::instance().setLanguage(language); }

}  // namespace uitest
