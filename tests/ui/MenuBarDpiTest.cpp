// The bar at every display scale: SetDpi relays the items and resizes the panels, the fonts and
// skins are those of the DPI, and no title, value or row text is wider than the place it is drawn
// in, in the three languages.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Dpi.h"
#include "framework/Handles.h"
#include "resources/resource.h"
#include "tests/ui/MenuBarFixture.h"
#include "toolkit/SkinScale.h"
#include "ui/MenuBarLayout.h"

using uitest::MenuBarTest;

namespace {

constexpr int kScaledDpis[] = {96, 120, 144, 192};

constexpr UINT kArrowImage = 349;
constexpr UINT kEscButtonImage = 420;
constexpr UINT kEscButtonHoverImage = 421;
constexpr UINT kSliderTrackImage = 360;

struct PanelWidth {
    CVNTUI_Skeo_MenuShow& (*panel)(CVNTUI_Skeo_MenuBar&);
    int width96;
};

const PanelWidth kPanelWidths[] = {
    {[](CVNTUI_Skeo_MenuBar& b) -> CVNTUI_Skeo_MenuShow& { return b.zoomCamPanel(); }, 110},
    {[](CVNTUI_Skeo_MenuBar& b) -> CVNTUI_Skeo_MenuShow& { return b.timerPanel(); }, 110},
    {[](CVNTUI_Skeo_MenuBar& b) -> CVNTUI_Skeo_MenuShow& { return b.mirrorPanel(); }, 110},
    {[](CVNTUI_Skeo_MenuBar& b) -> CVNTUI_Skeo_MenuShow& { return b.resolutionPanel(); }, 145},
    {[](CVNTUI_Skeo_MenuBar& b) -> CVNTUI_Skeo_MenuShow& { return b.exposurePanel(); }, 95},
    {[](CVNTUI_Skeo_MenuBar& b) -> CVNTUI_Skeo_MenuShow& { return b.exposureSliderPanel(); }, 95},
    {[](CVNTUI_Skeo_MenuBar& b) -> CVNTUI_Skeo_MenuShow& { return b.exposureModePanel(); }, 69},
    {[](CVNTUI_Skeo_MenuBar& b) -> CVNTUI_Skeo_MenuShow& { return b.zoomPicPanel(); }, 110},
    {[](CVNTUI_Skeo_MenuBar& b) -> CVNTUI_Skeo_MenuShow& { return b.rotatePanel(); }, 110},
};

// The width of one line in the font, as GDI lays it out.
int measure(HFONT font, const std::wstring& text) {
    if (text.empty()) return 0;
    vnt::WindowDC screen(nullptr);
    const HGDIOBJ old = SelectObject(screen.get(), font);
    SIZE size{};
    GetTextExtentPoint32W(screen.get(), text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(screen.get(), old);
    return size.cx;
}

int fontHeight(HFONT font) {
    LOGFONTW logFont{};
    GetObjectW(font, sizeof logFont, &logFont);
    return logFont.lfHeight;
}

// The size of the image of that 100 % id in the set that serves the DPI, loaded by its own id.
SIZE skinSize(UINT id, int dpi) {
    CGdiPlusBitmapResource image;
    const UINT scaled = toolkit::skinImageId(id, toolkit::skinScaleForDpi(dpi));
    EXPECT_TRUE(image.Load(scaled)) << "PNG " << scaled;
    return SIZE{image.width(), image.height()};
}

}  // namespace

class MenuBarDpiTest : public MenuBarTest {
protected:
    // The widest value of each item.
    void showLongestValues() {
        bar().SetExposureControlKind(1);
        bar().ReflectCameraCommand(1, ID_MIRROR_HORIZONTAL);
        bar().ReflectCameraCommand(1, ID_MIRROR_VERTICAL);
        bar().ReflectCameraCommand(0, ID_RESOLUTION_1600X1200);
        bar().ReflectCameraCommand(0, ID_ZOOM_CAM_1_25X);
        bar().ReflectCameraCommand(0, ID_TIMER_10_SEC);
        bar().ReflectPhotoCommand(ID_ZOOM_PIC_250);
    }

    // Every item title and value and every panel row fits where it is drawn, in every language.
    void expectTextsFit() {
        const skeo::DisplayScale scale(bar().dpi());
        for (LANGID language : {uitest::kEnglish, uitest::kChinese, uitest::kJapanese}) {
            SCOPED_TRACE(uitest::languageTag(language));
            setLanguage(language);
            bar().ReloadTexts();
            for (int id = menubar::kFirstItemId; id < menubar::kFirstItemId + menubar::kItemCount; ++id) {
                if (id == IDC_MENU_ESC) continue;
                CVNTUI_Skeo_Menu& menu = item(id);
                const int width = menu.GetClientRect().right;
                // The delete and auto items draw no arrow: their texts may reach the trailing separator.
                const bool arrow = id != IDC_MENU_DELETE && id != IDC_MENU_EXPOSURE_MODE;
                const int room = (arrow ? menubar::arrowLeft(width, scale) : menubar::trailingSeparatorLeft(width, scale)) -
                                 menubar::itemTextLeft(scale);
                const int used = measure(menu.titleFont(), menu.titleText()) + measure(menu.valueFont(), menu.valueText()) +
                                 menu.valueIcon().width();
                EXPECT_LE(used, room) << "item " << id << ": " << testing::PrintToString(menu.titleText() + menu.valueText());
            }
            for (const PanelWidth& p : kPanelWidths) {
                CVNTUI_Skeo_MenuShow& panel = p.panel(bar());
                for (int row = 0; row < panel.rowCount(); ++row) {
                    if (panel.row(row).text.empty()) continue;  // the slider's placeholders
                    const menubar::Box box =
                        menubar::rowTextBox(menubar::rowBox(row, panel.panelWidth(), scale), panel.showsIcon(row), scale);
                    EXPECT_LE(measure(panel.font(), panel.row(row).text), box.width())
                        << "row " << row << " of a panel " << p.width96 << " wide at 96 DPI: "
                        << testing::PrintToString(panel.row(row).text);
                }
            }
        }
    }
};

TEST_F(MenuBarDpiTest, SetDpiRelaysTheItemsAndSizesThePanelsAndFonts) {
    bar().SetExposureControlKind(1);
    for (int dpi : kScaledDpis) {
        SCOPED_TRACE(dpi);
        const skeo::DisplayScale scale(dpi);
        bar().SetDpi(dpi);
        EXPECT_EQ(bar().dpi(), dpi);
        // Relaid at once in the size it has, and again once the main dialog gives the new size.
        RECT client{};
        GetClientRect(bar().hwnd(), &client);
        const int stale = client.bottom;
        menubar::Span span;
        ASSERT_TRUE(menubar::itemSpan(IDC_MENU_RESOLUTION, stale, span, scale));
        EXPECT_EQ(item(IDC_MENU_RESOLUTION).GetRectInParent().left, span.left);
        for (bool floating : {false, true}) {
            if (floating) floatBar(); else dock();
            const int height = floating ? bar().floatingSize().height : bar().dockedSize().height;
            EXPECT_EQ(height, scale.px(floating ? menubar::kFloatingHeight : menubar::kDockedHeight));
            for (int id = menubar::kFirstItemId; id < menubar::kFirstItemId + menubar::kItemCount; ++id) {
                ASSERT_TRUE(menubar::itemSpan(id, height, span, scale));
                const RECT rc = item(id).GetRectInParent();
                EXPECT_EQ(rc.left, span.left) << id;
                EXPECT_EQ(rc.right - rc.left, span.width) << id;
                EXPECT_EQ(rc.bottom, height) << id;
                EXPECT_EQ(item(id).dpi(), dpi) << id;
            }
        }
        EXPECT_EQ(fontHeight(item(IDC_MENU_TIMER).titleFont()), vnt::scalePx(13, dpi));
        EXPECT_EQ(fontHeight(item(IDC_MENU_TIMER).valueFont()), vnt::scalePx(13, dpi));
        for (const PanelWidth& p : kPanelWidths) {
            CVNTUI_Skeo_MenuShow& panel = p.panel(bar());
            RECT rc{};
            GetWindowRect(panel.hwnd(), &rc);
            EXPECT_EQ(rc.right - rc.left, scale.px(p.width96)) << p.width96;
            EXPECT_EQ(rc.bottom - rc.top, menubar::panelHeight(panel.rowCount(), scale));
            EXPECT_EQ(panel.backBuffer().width(), rc.right - rc.left) << "drawn at the new size";
            EXPECT_EQ(panel.backBuffer().height(), rc.bottom - rc.top);
            EXPECT_EQ(fontHeight(panel.font()), vnt::scalePx(13, dpi));
        }
        // A click lands on the row drawn there at the new scale.
        press(IDC_MENU_TIMER);
        ASSERT_TRUE(bar().timerPanel().IsOpen());
        clickRow(bar().timerPanel(), 2);
        EXPECT_EQ(commands(), (std::vector<uitest::Command>{{ID_TIMER_10_SEC, 0}}));
    }
}

TEST_F(MenuBarDpiTest, ImagesAreTheSetOfTheDpi) {
    floatBar();
    bar().ReflectCameraCommand(4, ID_EXPOSURE_LEVEL);
    for (int dpi : {bar().dpi(), 192, 120}) {
        SCOPED_TRACE(dpi);
        bar().SetDpi(dpi);
        floatBar();
        const SIZE arrow = skinSize(kArrowImage, dpi);
        EXPECT_EQ(item(IDC_MENU_TIMER).arrowImage().width(), arrow.cx);
        EXPECT_EQ(item(IDC_MENU_TIMER).arrowImage().height(), arrow.cy);

        // The ESC button draws the set's image in the layout's box; made again, it is still the one
        // child with its id.
        auto& close = static_cast<CVNTUI_Skeo_Menu_Close&>(item(IDC_MENU_ESC));
        EXPECT_EQ(close.button().imageId(), kEscButtonImage);
        EXPECT_EQ(close.button().hoverImageId(), kEscButtonHoverImage);
        EXPECT_EQ(close.button().dpi(), dpi) << "the button loads the images of the set of this DPI";
        HWND button = GetDlgItem(close.hwnd(), IDC_MENU_ESC_BUTTON);
        ASSERT_EQ(button, close.button().hwnd());
        EXPECT_EQ(GetWindow(button, GW_HWNDNEXT), nullptr);
        RECT rc{};
        GetClientRect(button, &rc);
        const skeo::DisplayScale scale(dpi);
        EXPECT_EQ(rc.right, menubar::escButtonSize(scale).width);
        EXPECT_EQ(rc.bottom, menubar::escButtonSize(scale).height);

        // The slider takes its track image's size.
        const RECT track = bar().exposureSliderPanel().slider().GetRectInParent();
        const SIZE trackImage = skinSize(kSliderTrackImage, dpi);
        EXPECT_EQ(track.right - track.left, trackImage.cx);
        EXPECT_EQ(track.bottom - track.top, trackImage.cy);

        // The auto item's value icon comes from the set too.
        bar().ReflectCameraCommand(0, ID_EXPOSURE_MODE_ON);
        EXPECT_EQ(item(IDC_MENU_EXPOSURE_MODE).valueIcon().width(), skinSize(366, dpi).cx);
    }
}

TEST_F(MenuBarDpiTest, TextsFitTheirItemsAndRowsAtTheWindowsDpi) {
    showLongestValues();
    expectTextsFit();
}

TEST_F(MenuBarDpiTest, TextsFitTheirItemsAndRowsAtEveryScale) {
    showLongestValues();
    for (int dpi : kScaledDpis) {
        SCOPED_TRACE(dpi);
        bar().SetDpi(dpi);
        dock();
        expectTextsFit();
    }
}

TEST_F(MenuBarDpiTest, TheFloatingRegionCutsTheCornersAtTheBarsScale) {
    for (int dpi : {96, 192}) {
        SCOPED_TRACE(dpi);
        bar().SetDpi(dpi);
        const skeo::DisplayScale scale(dpi);
        vnt::UniqueHandle<vnt::GdiObjectTraits<HRGN>> region(bar().CreateFloatingRegion());
        ASSERT_TRUE(region);
        RECT box{};
        GetRgnBox(region.get(), &box);
        EXPECT_EQ(box.right, bar().floatingSize().width);
        EXPECT_EQ(box.bottom, bar().floatingSize().height);
        const int w = box.right, h = box.bottom;
        EXPECT_FALSE(PtInRegion(region.get(), 0, 0)) << "top-left corner cut";
        EXPECT_FALSE(PtInRegion(region.get(), w - 1, h - 1)) << "bottom-right corner cut";
        EXPECT_TRUE(PtInRegion(region.get(), scale.px(3), scale.px(3)));
        EXPECT_TRUE(PtInRegion(region.get(), w / 2, h / 2));
    }
}

TEST_F(MenuBarDpiTest, AnUnusableDpiIsTakenAsTheNearestTheScaleHas) {
    for (int wild : {0, -96, 40}) {
        bar().SetDpi(wild);
        EXPECT_EQ(bar().dpi(), 96) << wild;
        EXPECT_EQ(bar().timerPanel().dpi(), 96) << wild;
        EXPECT_EQ(item(IDC_MENU_TIMER).dpi(), 96) << wild;
    }
    bar().SetDpi(100000);
    EXPECT_EQ(bar().dpi(), skeo::DisplayScale::kMaxDpi);
    EXPECT_EQ(item(IDC_MENU_TIMER).dpi(), skeo::DisplayScale::kMaxDpi);
    EXPECT_TRUE(IsWindow(bar().hwnd()));
}
