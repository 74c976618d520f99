// Mix-in of every window whose texts follow the interface language.
#pragma once

#include "app/VNTObject.h"

class VNTUI_Object : public VNTObject {
public:
    VNTUI_Object();
    ~VNTUI_Object() override;

    void onNotification(void* data, const std::wstring& name) override;

    // Loads the window's texts in the current language.
    virtual void ReloadTexts() {}
};

extern const wchar_t kLanguageChangedNotification[];  // "LANGUAGE_CHANGED"
