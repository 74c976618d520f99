// Decides which of the three interface languages is current, keeps the choice in the registry and
// announces changes ("LANGUAGE_CHANGED"). Texts are read straight from the string-table resource of
// the chosen language, with no fallback to another one.
#pragma once

#include <windows.h>

#include <string>

#include "app/VNTObject.h"

class VNTLanguageSelector : public VNTObject {
public:
    static constexpr LANGID kEnglish = 1033;
    static constexpr LANGID kTraditionalChinese = 1028;
    static constexpr LANGID kJapanese = 1041;

    static VNTLanguageSelector& instance();

    VNTLanguageSelector();

    // Reads the stored choice (or takes the user's interface language) and applies it.
    void Initialize();
    // Any id other than the three supported ones becomes English; stores and announces even an
    // unchanged choice.
    void setLanguage(LANGID id);
    LANGID language() const { return language_; }

    // One text of the string table in the given language; the text is unchanged when it is missing.
    static bool loadString(LANGID languageId, UINT stringId, std::wstring& text);
    // The text in the current language.
    bool loadString(UINT stringId, std::wstring& text) const { return loadString(language_, stringId, text); }

    // Where the user's interface language comes from; tests point it at a fixed language.
    using UserLanguageSource = LANGID (*)();
    static void setUserLanguageSource(UserLanguageSource source);

private:
    LANGID language_ = 0;
    std::wstring productName_;
};
