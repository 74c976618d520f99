#include "settings/CVNTUI_Skeo_GeneralPage.h"

#include <shlobj.h>

#include "app/VNTLanguageSelector.h"
#include "framework/Trace.h"
#include "resources/StringIds.h"
#include "resources/resource.h"
#include "settings/PhotoPrefixFilter.h"
#include "settings/VNTSkeoRegedit.h"

namespace {

std::wstring withSeparator(std::wstring folder) {
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    return folder;
}

std::wstring itemText(HWND dialog, UINT id) {
    HWND control = GetDlgItem(dialog, static_cast<int>(id));
    const int length = control ? GetWindowTextLengthW(control) : 0;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    if (length > 0) GetWindowTextW(control, &text[0], length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

}  // namespace

bool folderTakesPhotos(const std::wstring& folder) {
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    wchar_t probe[MAX_PATH + 16];
    // A real file, removed at once: read-only flags on folders say nothing about writing into them.
    if (!GetTempFileNameW(withSeparator(folder).c_str(), L"skt", 0, probe)) return false;
    DeleteFileW(probe);
    return true;
}

CVNTUI_Skeo_GeneralPage::CVNTUI_Skeo_GeneralPage(VNTSkeoRegedit& settings)
    : CVNTUI_PropertyPage(IDD_SETTINGS_GENERAL), settings_(settings) {}

BOOL CVNTUI_Skeo_GeneralPage::OnInitDialog() {
    const int preview = settings_.instantPreview();
    Check(preview == 0 ? IDC_PREVIEW_OFF : preview == 1 ? IDC_PREVIEW_2_SEC : IDC_PREVIEW_4_SEC, true);
    Check(IDC_SOUND_FOCUS, settings_.soundEffectFocus() != 0);
    Check(IDC_SOUND_SNAPSHOT, settings_.soundEffectSnapshot() != 0);
    SetDlgItemTextW(hwnd_, IDC_LIBRARY_FOLDER, settings_.photoLibraryLocation().c_str());
    Check(settings_.photoNameFormat() == 0 ? IDC_NAME_DATE : IDC_NAME_PREFIX, true);
    // A prefix stored by hand may hold characters a file name cannot: the filter cleans it.
    SetDlgItemTextW(hwnd_, IDC_NAME_PREFIX_TEXT, settings_.photoNameUserDefine().c_str());
    Check(settings_.cameraSettingsPreload() != 0 ? IDC_KEEP_YES : IDC_KEEP_NO, true);
    ReloadTexts();
    fillDeviceList();
    return TRUE;
}

void CVNTUI_Skeo_GeneralPage::ReloadTexts() {
    if (!hwnd_) return;
    const struct {
        UINT control;
        UINT text;
    } texts[] = {
        {IDC_DEVICE_GROUP, IDS_SELECT_VIDEO_DEVICE}, {IDC_PREVIEW_GROUP, IDS_INSTANT_PREVIEW},
        {IDC_PREVIEW_OFF, IDS_PREVIEW_OFF},         {IDC_PREVIEW_2_SEC, IDS_PREVIEW_2_SEC},
        {IDC_PREVIEW_4_SEC, IDS_PREVIEW_4_SEC},     {IDC_SOUND_GROUP, IDS_SOUND_EFFECT_ON},
        {IDC_SOUND_FOCUS, IDS_SOUND_FOCUS},         {IDC_SOUND_SNAPSHOT, IDS_SOUND_SNAPSHOT},
        {IDC_LIBRARY_GROUP, IDS_PHOTO_LIBRARY_LOCATION}, {IDC_LIBRARY_CHANGE, IDS_CHANGE_FOLDER},
        {IDC_NAME_GROUP, IDS_PHOTO_NAME_FORMAT},    {IDC_NAME_DATE, IDS_NAME_FORMAT_DATE},
        {IDC_NAME_PREFIX_SUFFIX, IDS_NAME_FORMAT_SUFFIX}, {IDC_KEEP_GROUP, IDS_KEEP_CAMERA_SETTINGS},
        {IDC_KEEP_YES, IDS_KEEP_SETTINGS_YES},      {IDC_KEEP_NO, IDS_KEEP_SETTINGS_NO},
    };
    for (const auto& t : texts) SetItemText(t.control, t.text);
}

void CVNTUI_Skeo_GeneralPage::fillDeviceList() {
    HWND list = GetDlgItem(hwnd_, IDC_DEVICE_LIST);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    int selected = CB_ERR;
    for (const std::wstring& name : deviceNames_) {
        const auto index = static_cast<int>(SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str())));
        if (selected == CB_ERR && name == currentDevice_) selected = index;
    }
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

bool CVNTUI_Skeo_GeneralPage::takeLibraryFolder(const std::wstring& chosen, bool tellUser) {
    const std::wstring folder = withSeparator(chosen);
    if (folder.empty() || !folderTakesPhotos(folder)) {
        vnt::trace(L"Settings: the folder \"%ls\" cannot take photos; the library stays where it is", folder.c_str());
        if (tellUser) {
            std::wstring message;
            VNTLanguageSelector::instance().loadString(IDS_FOLDER_NOT_USABLE, message);
            MessageBoxW(hwnd_, message.c_str(), L"Skeo", MB_OK | MB_ICONEXCLAMATION);
        }
        return false;
    }
    if (itemText(hwnd_, IDC_LIBRARY_FOLDER) != folder) SetDlgItemTextW(hwnd_, IDC_LIBRARY_FOLDER, folder.c_str());
    return true;
}

void CVNTUI_Skeo_GeneralPage::browseForFolder() {
    BROWSEINFOW info{};
    info.hwndOwner = hwnd_;
    info.lpszTitle = L"Select Path";
    PIDLIST_ABSOLUTE picked = SHBrowseForFolderW(&info);
    if (!picked) return;
    wchar_t path[MAX_PATH] = {};
    const bool hasPath = SHGetPathFromIDListW(picked, path) != FALSE;
    CoTaskMemFree(picked);
    if (hasPath && path[0]) takeLibraryFolder(path);
}

void CVNTUI_Skeo_GeneralPage::filterPrefix() {
    if (filtering_) return;
    HWND edit = GetDlgItem(hwnd_, IDC_NAME_PREFIX_TEXT);
    std::wstring text = itemText(hwnd_, IDC_NAME_PREFIX_TEXT);
    bool changed = false;
    while (settings::removeFirstForbidden(text)) changed = true;
    if (!changed) return;
    DWORD start = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    filtering_ = true;
    SetWindowTextW(edit, text.c_str());
    filtering_ = false;
    // The caret goes back to where the refused character was typed.
    DWORD caret = start > 0 ? start - 1 : 0;
    if (caret > text.size()) caret = static_cast<DWORD>(text.size());
    SendMessageW(edit, EM_SETSEL, caret, caret);
}

bool CVNTUI_Skeo_GeneralPage::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_LIBRARY_CHANGE && code == BN_CLICKED) {
        browseForFolder();
        return true;
    }
    if (id == IDC_NAME_PREFIX_TEXT && code == EN_CHANGE) {
        filterPrefix();
        return true;
    }
    return CVNTUI_PropertyPage::OnCommand(id, code, control);
}

bool CVNTUI_Skeo_GeneralPage::OnApply() {
    chosenDevice_ = itemText(hwnd_, IDC_DEVICE_LIST);
    settings_.setInstantPreview(IsChecked(IDC_PREVIEW_4_SEC) ? 2 : IsChecked(IDC_PREVIEW_2_SEC) ? 1 : 0);
    settings_.setSoundEffectFocus(IsChecked(IDC_SOUND_FOCUS) ? 1 : 0);
    settings_.setSoundEffectSnapshot(IsChecked(IDC_SOUND_SNAPSHOT) ? 1 : 0);
    settings_.setPhotoLibraryLocation(withSeparator(itemText(hwnd_, IDC_LIBRARY_FOLDER)));
    settings_.setPhotoNameFormat(IsChecked(IDC_NAME_PREFIX) ? 1 : 0);
    settings_.setPhotoNameUserDefine(itemText(hwnd_, IDC_NAME_PREFIX_TEXT));
    settings_.setCameraSettingsPreload(IsChecked(IDC_KEEP_YES) ? 1 : 0);
    return true;
}
