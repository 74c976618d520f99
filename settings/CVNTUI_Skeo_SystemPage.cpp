#include "settings/CVNTUI_Skeo_SystemPage.h"

#include "app/VNTLanguageSelector.h"
#include "resources/StringIds.h"
#include "resources/resource.h"
#include "settings/VNTRegedit.h"

CVNTUI_Skeo_SystemPage::CVNTUI_Skeo_SystemPage(VNTRegedit& settings)
    : CVNTUI_PropertyPage(IDD_SETTINGS_SYSTEM), settings_(settings) {}

void CVNTUI_Skeo_SystemPage::setVersionText(const std::wstring& version) {
    version_ = version;
    ReloadTexts();
}

BOOL CVNTUI_Skeo_SystemPage::OnInitDialog() {
    updates_.Attach(GetDlgItem(hwnd_, IDC_SYSTEM_UPDATES));
    Check(settings_.isRunAtStartup() ? IDC_STARTUP_YES : IDC_STARTUP_NO, true);
    ReloadTexts();
    return TRUE;
}

void CVNTUI_Skeo_SystemPage::ReloadTexts() {
    if (!hwnd_) return;
    std::wstring version;
    VNTLanguageSelector& language = VNTLanguageSelector::instance();
    language.loadString(IDS_VERSION, version);
    SetItemText(IDC_SYSTEM_ABOUT_GROUP, IDS_SYSTEM_ABOUT);
    SetItemText(IDC_SYSTEM_FIRMWARE, IDS_SYSTEM_FIRMWARE_VERSION, version_);
    SetItemText(IDC_SYSTEM_SOFTWARE, IDS_SYSTEM_SOFTWARE_VERSION, version);
    SetItemText(IDC_SYSTEM_UPDATES, IDS_CHECK_FOR_UPDATES);
    std::wstring url;
    if (language.loadString(IDS_SUPPORT_URL, url)) updates_.SetURL(url);
    SetItemText(IDC_LANGUAGE_GROUP, IDS_LANGUAGE);
    SetItemText(IDC_LANGUAGE_ENGLISH, IDS_LANGUAGE_ENGLISH);
    SetItemText(IDC_LANGUAGE_TRAD_CHINESE, IDS_LANGUAGE_TRAD_CHINESE);
    SetItemText(IDC_LANGUAGE_JAPANESE, IDS_LANGUAGE_JAPANESE);
    SetItemText(IDC_STARTUP_GROUP, IDS_RUN_AT_STARTUP);
    SetItemText(IDC_STARTUP_YES, IDS_RUN_AT_STARTUP_YES);
    SetItemText(IDC_STARTUP_NO, IDS_RUN_AT_STARTUP_NO);
    const LANGID current = language.language();
    Check(IDC_LANGUAGE_ENGLISH, current == VNTLanguageSelector::kEnglish);
    Check(IDC_LANGUAGE_TRAD_CHINESE, current == VNTLanguageSelector::kTraditionalChinese);
    Check(IDC_LANGUAGE_JAPANESE, current == VNTLanguageSelector::kJapanese);
}

bool CVNTUI_Skeo_SystemPage::OnApply() {
    settings_.setRunAtStartup(IsChecked(IDC_STARTUP_YES));
    VNTLanguageSelector& language = VNTLanguageSelector::instance();
    if (IsChecked(IDC_LANGUAGE_ENGLISH)) {
        language.setLanguage(VNTLanguageSelector::kEnglish);
    } else if (IsChecked(IDC_LANGUAGE_TRAD_CHINESE)) {
        language.setLanguage(VNTLanguageSelector::kTraditionalChinese);
    } else if (IsChecked(IDC_LANGUAGE_JAPANESE)) {
        language.setLanguage(VNTLanguageSelector::kJapanese);
    }
    return true;
}
