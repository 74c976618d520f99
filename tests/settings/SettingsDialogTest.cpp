// The settings sheet as a person uses it: what it shows from the settings, what OK stores and
// Cancel does not, the prefix filter as typed, the folder refusal, and its texts in every language.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/VNTLanguageSelector.h"
#include "resources/StringIds.h"
#include "resources/resource.h"
#include "settings/CVNTUI_Skeo_SettingsPropSheet.h"
#include "settings/VNTSkeoRegedit.h"
#include "tests/settings/SettingsSheetFixture.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/SheetScript.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowImage.h"

namespace {

std::wstring text(HWND window) {
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, 512);
    return buffer;
}

std::wstring stringOf(LANGID language, UINT id) {
    std::wstring s;
    VNTLanguageSelector::loadString(language, id, s);
    return s;
}

HWND page(HWND sheet, int index) { return PropSheet_IndexToHwnd(sheet, index); }

bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void typeInto(HWND edit, const std::wstring& typed) {
    SetFocus(edit);
    for (wchar_t c : typed) SendMessageW(edit, WM_CHAR, c, 0);
}

// The folder browser a "Change" press opens: a dialog of this thread owned by the sheet.
HWND folderBrowserOver(HWND sheet) {
    struct Search {
        HWND sheet;
        HWND found;
    } search{sheet, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (window == s->sheet || std::wstring(name) != L"#32770" || GetWindow(window, GW_OWNER) != s->sheet)
                return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring tabText(HWND sheet, int index) {
    wchar_t buffer[128] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = 128;
    TabCtrl_GetItem(PropSheet_GetTabControl(sheet), index, &item);
    return buffer;
}

}  // namespace

class SettingsDialogTest : public SettingsSheetFixture {
protected:
    INT_PTR run(CVNTUI_Skeo_SettingsPropSheet& sheet, std::vector<std::function<void()>> script) {
        return testsupport::runSheet(sheet, nullptr, std::move(script));
    }
};

TEST_F(SettingsDialogTest, GeneralPageShowsTheSettingsAndOkStoresWhatWasChosen) {
    testsupport::TempFolder library(L"settings-library");
    settings_.setInstantPreview(1);
    settings_.setSoundEffectFocus(0);
    settings_.setSoundEffectSnapshot(1);
    settings_.setPhotoNameFormat(0);
    settings_.setCameraSettingsPreload(1);
    const std::wstring before = settings_.photoLibraryLocation();

    CVNTUI_Skeo_SettingsPropSheet sheet(settings_);
    sheet.generalPage().setDeviceNames({L"Skeo on the desk", L"Pello"});
    sheet.generalPage().setCurrentDevice(L"Pello");
    const INT_PTR result = run(sheet, {[&] {
        HWND general = page(sheet.hwnd(), 0);
        ASSERT_NE(general, nullptr);
        EXPECT_TRUE(checked(general, IDC_PREVIEW_2_SEC));
        EXPECT_FALSE(checked(general, IDC_SOUND_FOCUS));
        EXPECT_TRUE(checked(general, IDC_SOUND_SNAPSHOT));
        EXPECT_TRUE(checked(general, IDC_NAME_DATE));
        EXPECT_TRUE(checked(general, IDC_KEEP_YES));
        EXPECT_EQ(text(GetDlgItem(general, IDC_LIBRARY_FOLDER)), before);
        HWND list = GetDlgItem(general, IDC_DEVICE_LIST);
        EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 2);
        EXPECT_EQ(SendMessageW(list, CB_GETCURSEL, 0, 0), 1) << "the current camera is selected";

        // A folder that does not exist is refused and the old one kept.
        EXPECT_FALSE(sheet.generalPage().takeLibraryFolder(library.path() + L"missing", false));
        EXPECT_EQ(text(GetDlgItem(general, IDC_LIBRARY_FOLDER)), before);
        std::wstring chosen = library.path();
        chosen.pop_back();  // as the folder browser gives it, without the separator
        EXPECT_TRUE(sheet.generalPage().takeLibraryFolder(chosen, false));
        EXPECT_EQ(text(GetDlgItem(general, IDC_LIBRARY_FOLDER)), library.path());

        click(general, IDC_PREVIEW_4_SEC);
        click(general, IDC_SOUND_FOCUS);
        click(general, IDC_NAME_PREFIX);
        click(general, IDC_KEEP_NO);
        HWND prefix = GetDlgItem(general, IDC_NAME_PREFIX_TEXT);
        SetWindowTextW(prefix, L"");
        typeInto(prefix, L"a:b*c");
        EXPECT_EQ(text(prefix), L"abc") << "forbidden characters never stay";
        DWORD start = 0, end = 0;
        SendMessageW(prefix, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 3u) << "typing goes on at the end";
        // Pasted text is filtered too.
        SetWindowTextW(prefix, L"Lab<2>|B");
        EXPECT_EQ(text(prefix), L"Lab2B");
        SendMessageW(list, CB_SETCURSEL, 0, 0);
        PropSheet_PressButton(sheet.hwnd(), PSBTN_OK);
    }});
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(sheet.generalPage().chosenDevice(), L"Skeo on the desk");
    VNTSkeoRegedit stored;
    stored.loadSettings();
    EXPECT_EQ(stored.instantPreview(), 2);
    EXPECT_EQ(stored.soundEffectFocus(), 1);
    EXPECT_EQ(stored.soundEffectSnapshot(), 1);
    EXPECT_EQ(stored.photoLibraryLocation(), library.path());
    EXPECT_EQ(stored.photoNameFormat(), 1);
    EXPECT_EQ(stored.photoNameUserDefine(), L"Lab2B");
    EXPECT_EQ(stored.cameraSettingsPreload(), 0);
}

TEST_F(SettingsDialogTest, CancelStoresNothingAndWithoutCamerasNothingIsSelected) {
    const int preview = settings_.instantPreview();
    const bool runsAtStartup = settings_.isRunAtStartup();
    CVNTUI_Skeo_SettingsPropSheet sheet(settings_);
    sheet.generalPage().setDeviceNames({L"Skeo", L"Pello"});
    const INT_PTR result = run(sheet, {[&] {
        HWND general = page(sheet.hwnd(), 0);
        EXPECT_EQ(SendMessageW(GetDlgItem(general, IDC_DEVICE_LIST), CB_GETCURSEL, 0, 0), CB_ERR);
        click(general, preview == 2 ? IDC_PREVIEW_OFF : IDC_PREVIEW_4_SEC);
        PropSheet_SetCurSel(sheet.hwnd(), nullptr, 1);
        HWND adjustment = page(sheet.hwnd(), 1);
        for (int id = 3114; id <= 3119; ++id) EXPECT_FALSE(IsWindowEnabled(GetDlgItem(adjustment, id))) << id;
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(adjustment, IDC_ADJUST_DEFAULT)));
        PropSheet_SetCurSel(sheet.hwnd(), nullptr, 2);
        HWND system = page(sheet.hwnd(), 2);
        click(system, runsAtStartup ? IDC_STARTUP_NO : IDC_STARTUP_YES);
        click(system, IDC_LANGUAGE_JAPANESE);
        PropSheet_PressButton(sheet.hwnd(), PSBTN_CANCEL);
    }});
    EXPECT_EQ(result, IDCANCEL);
    VNTSkeoRegedit stored;
    stored.loadSettings();
    EXPECT_EQ(stored.instantPreview(), preview);
    EXPECT_EQ(stored.isRunAtStartup(), runsAtStartup);
    EXPECT_EQ(VNTLanguageSelector::instance().language(), VNTLanguageSelector::kEnglish);
}

TEST_F(SettingsDialogTest, SystemPageSetsTheStartAtLogOnAndTheLanguage) {
    settings_.setRunAtStartup(true);
    CVNTUI_Skeo_SettingsPropSheet sheet(settings_);
    sheet.systemPage().setVersionText(L"1.07");
    const INT_PTR result = run(sheet, {[&] {
        PropSheet_SetCurSel(sheet.hwnd(), nullptr, 2);
        HWND system = page(sheet.hwnd(), 2);
        EXPECT_TRUE(checked(system, IDC_STARTUP_YES));
        EXPECT_TRUE(checked(system, IDC_LANGUAGE_ENGLISH));
        EXPECT_EQ(text(GetDlgItem(system, IDC_SYSTEM_FIRMWARE)), L"Firmware Version: 1.07");
        EXPECT_EQ(text(GetDlgItem(system, IDC_SYSTEM_SOFTWARE)), L"Software Version: 2.0.4.0");
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(system, IDC_RENDERER_GROUP)));
        click(system, IDC_STARTUP_NO);
        click(system, IDC_LANGUAGE_JAPANESE);
        PropSheet_PressButton(sheet.hwnd(), PSBTN_OK);
    }});
    ASSERT_EQ(result, IDOK);
    EXPECT_FALSE(settings_.isRunAtStartup());
    EXPECT_EQ(VNTLanguageSelector::instance().language(), VNTLanguageSelector::kJapanese);
}

TEST_F(SettingsDialogTest, EveryPageIsTextedInTheCurrentLanguageAndFollowsAChange) {
    const LANGID languages[] = {VNTLanguageSelector::kEnglish, VNTLanguageSelector::kTraditionalChinese,
                                VNTLanguageSelector::kJapanese};
    const wchar_t* names[] = {L"en", L"zh-TW", L"ja"};
    CVNTUI_Skeo_SettingsPropSheet sheet(settings_);
    const INT_PTR result = run(sheet, {[&] {
        HWND window = sheet.hwnd();
        for (int l = 0; l < 3; ++l) {
            const LANGID lang = languages[l];
            VNTLanguageSelector::instance().setLanguage(lang);
            EXPECT_EQ(text(window), stringOf(lang, IDS_SETTINGS_CAPTION));
            EXPECT_EQ(tabText(window, 0), stringOf(lang, IDS_TAB_GENERAL));
            EXPECT_EQ(tabText(window, 1), stringOf(lang, IDS_TAB_IMAGE_ADJUSTMENT));
            EXPECT_EQ(tabText(window, 2), stringOf(lang, IDS_TAB_SYSTEM));
            EXPECT_EQ(text(GetDlgItem(window, IDOK)), stringOf(lang, IDS_OK));
            EXPECT_EQ(text(GetDlgItem(window, IDCANCEL)), stringOf(lang, IDS_CANCEL));
            const struct {
                int page;
                int control;
                UINT string;
            } samples[] = {{0, IDC_DEVICE_GROUP, IDS_SELECT_VIDEO_DEVICE}, {0, IDC_NAME_DATE, IDS_NAME_FORMAT_DATE},
                           {0, IDC_LIBRARY_CHANGE, IDS_CHANGE_FOLDER},     {1, 3106, IDS_HUE},
                           {1, IDC_ADJUST_DEFAULT, IDS_IMAGE_DEFAULT},     {2, IDC_LANGUAGE_GROUP, IDS_LANGUAGE},
                           {2, IDC_STARTUP_GROUP, IDS_RUN_AT_STARTUP}};
            for (int p = 0; p < 3; ++p) {
                PropSheet_SetCurSel(window, nullptr, p);
                for (const auto& s : samples) {
                    if (s.page != p) continue;
                    EXPECT_EQ(text(GetDlgItem(page(window, p), s.control)), stringOf(lang, s.string));
                }
                const std::wstring name = std::wstring(L"settings-") + std::to_wstring(p) + L"-" + names[l];
                testsupport::saveWindowImage(window, name.c_str());
            }
            EXPECT_TRUE(checked(page(window, 2), IDC_LANGUAGE_ENGLISH + l)) << "the language shown is the current one";
        }
        PropSheet_PressButton(window, PSBTN_CANCEL);
    }});
    EXPECT_EQ(result, IDCANCEL);
    VNTLanguageSelector::instance().setLanguage(VNTLanguageSelector::kEnglish);
}

TEST_F(SettingsDialogTest, OddStoredValuesStillOpenTheSheetAndAreShownByTheirRules) {
    const std::wstring key = L"Software\\Vantor\\Zevlan";
    const DWORD preview = 77, sound = 5, format = 9;
    const wchar_t prefix[] = L"Room:4*B";
    const wchar_t wrongType[] = L"not a number";
    ASSERT_TRUE(testsupport::writeRaw(key, L"InstantPreview", REG_DWORD, &preview, sizeof preview));
    ASSERT_TRUE(testsupport::writeRaw(key, L"SoundEffectFocus", REG_DWORD, &sound, sizeof sound));
    ASSERT_TRUE(testsupport::writeRaw(key, L"PhotoNameFormat", REG_DWORD, &format, sizeof format));
    ASSERT_TRUE(testsupport::writeRaw(key, L"PhotoNameUserDefine", REG_SZ, prefix, sizeof prefix));
    ASSERT_TRUE(testsupport::writeRaw(key, L"CameraSettingsPreload", REG_SZ, wrongType, sizeof wrongType));
    VNTSkeoRegedit settings;
    settings.loadSettings();
    CVNTUI_Skeo_SettingsPropSheet sheet(settings);
    const INT_PTR result = run(sheet, {[&] {
        HWND general = page(sheet.hwnd(), 0);
        ASSERT_NE(general, nullptr);
        // Out of range, each is read as its default.
        EXPECT_TRUE(checked(general, IDC_PREVIEW_2_SEC));
        EXPECT_FALSE(checked(general, IDC_PREVIEW_4_SEC));
        EXPECT_TRUE(checked(general, IDC_SOUND_FOCUS));
        EXPECT_TRUE(checked(general, IDC_NAME_DATE));
        EXPECT_EQ(text(GetDlgItem(general, IDC_NAME_PREFIX_TEXT)), L"Room4B") << "a stored prefix is cleaned too";
        EXPECT_TRUE(checked(general, IDC_KEEP_YES) != checked(general, IDC_KEEP_NO)) << "exactly one answer";
        PropSheet_PressButton(sheet.hwnd(), PSBTN_OK);
    }});
    ASSERT_EQ(result, IDOK);
    VNTSkeoRegedit stored;
    stored.loadSettings();
    EXPECT_EQ(stored.instantPreview(), 1);
    EXPECT_EQ(stored.photoNameFormat(), 0);
    EXPECT_EQ(stored.photoNameUserDefine(), L"Room4B");
}

// Enter presses the push button that has the focus and an open drop-down list takes Enter and
// Escape to close itself; anywhere else both keys do nothing, and the sheet never closes by them.
TEST_F(SettingsDialogTest, EnterAndEscapeActOnlyOnAFocusedButtonOrAnOpenList) {
    enum class Effect { Nothing, FolderBrowserOpens, ListCloses };
    struct Case {
        const char* what;
        int control;  // on the General page; IDOK is the sheet's own button, 0 its tab control
        UINT key;
        bool dropList;
        Effect effect;
    };
    const Case cases[] = {
        {"Enter on Change", IDC_LIBRARY_CHANGE, VK_RETURN, false, Effect::FolderBrowserOpens},
        {"Escape on Change", IDC_LIBRARY_CHANGE, VK_ESCAPE, false, Effect::Nothing},
        {"Escape on the open camera list", IDC_DEVICE_LIST, VK_ESCAPE, true, Effect::ListCloses},
        {"Enter on the open camera list", IDC_DEVICE_LIST, VK_RETURN, true, Effect::ListCloses},
        {"Enter on the closed camera list", IDC_DEVICE_LIST, VK_RETURN, false, Effect::Nothing},
        {"Escape on the closed camera list", IDC_DEVICE_LIST, VK_ESCAPE, false, Effect::Nothing},
        {"Enter in the prefix", IDC_NAME_PREFIX_TEXT, VK_RETURN, false, Effect::Nothing},
        {"Escape in the prefix", IDC_NAME_PREFIX_TEXT, VK_ESCAPE, false, Effect::Nothing},
        {"Enter on a radio button", IDC_PREVIEW_2_SEC, VK_RETURN, false, Effect::Nothing},
        {"Enter on a check box", IDC_SOUND_FOCUS, VK_RETURN, false, Effect::Nothing},
        {"Enter on the tabs", 0, VK_RETURN, false, Effect::Nothing},
        {"Escape on the tabs", 0, VK_ESCAPE, false, Effect::Nothing},
        {"Escape on OK", IDOK, VK_ESCAPE, false, Effect::Nothing},
    };
    settings_.setInstantPreview(1);
    CVNTUI_Skeo_SettingsPropSheet sheet(settings_);
    sheet.generalPage().setDeviceNames({L"Skeo on the desk", L"Pello"});
    sheet.generalPage().setCurrentDevice(L"Pello");

    // What a stray key could change on the General page.
    struct State {
        std::vector<bool> checks;
        std::wstring library, prefix;
        LRESULT device = CB_ERR;
        bool operator==(const State& o) const {
            return checks == o.checks && library == o.library && prefix == o.prefix && device == o.device;
        }
    };
    auto stateOf = [](HWND general) {
        State s;
        for (int id : {IDC_PREVIEW_OFF, IDC_PREVIEW_2_SEC, IDC_PREVIEW_4_SEC, IDC_SOUND_FOCUS, IDC_SOUND_SNAPSHOT,
                       IDC_NAME_DATE, IDC_NAME_PREFIX, IDC_KEEP_YES, IDC_KEEP_NO})
            s.checks.push_back(checked(general, id));
        s.library = text(GetDlgItem(general, IDC_LIBRARY_FOLDER));
        s.prefix = text(GetDlgItem(general, IDC_NAME_PREFIX_TEXT));
        s.device = SendMessageW(GetDlgItem(general, IDC_DEVICE_LIST), CB_GETCURSEL, 0, 0);
        return s;
    };

    HWND window = nullptr;
    State before;
    bool browserSeen = false;
    std::vector<std::function<void()>> script;
    for (const Case& c : cases) {
        script.push_back([&, c] {
            window = sheet.hwnd();
            HWND general = page(window, 0);
            HWND control = c.control == 0 ? PropSheet_GetTabControl(window)
                           : c.control == IDOK ? GetDlgItem(window, IDOK)
                                               : GetDlgItem(general, c.control);
            ASSERT_NE(control, nullptr) << c.what;
            SetFocus(control);
            if (c.dropList) {
                SendMessageW(control, CB_SHOWDROPDOWN, TRUE, 0);
                ASSERT_TRUE(SendMessageW(control, CB_GETDROPPEDSTATE, 0, 0)) << c.what;
            }
            before = stateOf(general);
            browserSeen = false;
            testsupport::postKeyPress(control, c.key);
        });
        // Runs inside the folder browser's own loop when the key opened it.
        script.push_back([&] {
            if (HWND browser = folderBrowserOver(window)) {
                browserSeen = true;
                PostMessageW(browser, WM_COMMAND, IDCANCEL, 0);
            }
        });
        script.push_back([&, c] {
            ASSERT_TRUE(IsWindow(window) && PropSheet_GetCurrentPageHwnd(window)) << c.what << ": the sheet closed";
            HWND general = page(window, 0);
            EXPECT_EQ(browserSeen, c.effect == Effect::FolderBrowserOpens) << c.what;
            EXPECT_FALSE(SendMessageW(GetDlgItem(general, IDC_DEVICE_LIST), CB_GETDROPPEDSTATE, 0, 0)) << c.what;
            EXPECT_TRUE(stateOf(general) == before) << c.what << ": the page changed";
            SendMessageW(GetDlgItem(general, IDC_DEVICE_LIST), CB_SHOWDROPDOWN, FALSE, 0);
        });
    }
    script.push_back([&] { PropSheet_PressButton(window, PSBTN_CANCEL); });
    EXPECT_EQ(run(sheet, std::move(script)), IDCANCEL);
}
