#include "app/VNTLanguageSelector.h"

#include "app/VNTNotificationCenter.h"
#include "app/VNTUI_Object.h"
#include "framework/Trace.h"
#include "framework/Window.h"
#include "settings/StoredNumbers.h"
#include "settings/VNTRegedit.h"

namespace {

LANGID systemUserLanguage() { return GetUserDefaultUILanguage(); }

VNTLanguageSelector::UserLanguageSource g_userLanguage = &systemUserLanguage;

const wchar_t kLanguageSubkey[] = L"Language";
const wchar_t kLanguageValue[] = L"LANGID";
const wchar_t kProductName[] = L"Zevlan";

// The languages the string table holds, and the one for every other.
const settings::StoredNumber& offeredLanguages() {
    static const settings::StoredNumber& languages = *settings::findStoredNumber(kLanguageSubkey, kLanguageValue);
    return languages;
}

}  // namespace

VNTLanguageSelector& VNTLanguageSelector::instance() {
    static VNTLanguageSelector selector;
    return selector;
}

VNTLanguageSelector::VNTLanguageSelector() = default;

void VNTLanguageSelector::setUserLanguageSource(UserLanguageSource source) {
    g_userLanguage = source ? source : &systemUserLanguage;
}

void VNTLanguageSelector::Initialize() {
    productName_ = kProductName;
    VNTRegedit registry(productName_);
    int32_t stored = 0;
    if (!registry.getDword(stored, kLanguageSubkey, kLanguageValue)) {
        setLanguage(g_userLanguage());
        return;
    }
    // The whole stored number counts: its low half alone could pass for a language.
    if (!offeredLanguages().accepts(stored)) {
        vnt::trace(L"VNTLanguageSelector: the stored language %d is not offered", stored);
        stored = offeredLanguages().defaultValue;
    }
    setLanguage(static_cast<LANGID>(stored));
}

void VNTLanguageSelector::setLanguage(LANGID id) {
    if (!offeredLanguages().accepts(id)) id = static_cast<LANGID>(offeredLanguages().defaultValue);
    language_ = id;
    VNTRegedit(productName_).setDword(language_, kLanguageSubkey, kLanguageValue);
    VNTNotificationCenter::instance().postNotification(kLanguageChangedNotification, nullptr);
}

bool VNTLanguageSelector::loadString(LANGID languageId, UINT stringId, std::wstring& text) {
    HMODULE module = vnt::resourceModule();
    HRSRC block = FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(stringId / 16 + 1), languageId);
    if (!block) return false;
    const DWORD size = SizeofResource(module, block);
    HGLOBAL loaded = LoadResource(module, block);
    const auto* data = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    if (!data) return false;

    // 16 entries, each a count of UTF-16 units followed by the units; walk without leaving the block.
    const size_t units = size / sizeof(WORD);
    size_t at = 0;
    for (UINT i = 0; i < stringId % 16; ++i) {
        if (at >= units) return false;
        at += 1 + data[at];
    }
    if (at >= units) return false;
    const size_t length = data[at];
    if (length == 0 || at + 1 + length > units) return false;
    text.assign(reinterpret_cast<const wchar_t*>(data + at + 1), length);
    return true;
}
