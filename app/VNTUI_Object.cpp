#include "app/VNTUI_Object.h"

#include "app/VNTNotificationCenter.h"

const wchar_t kLanguageChangedNotification[] = L"LANGUAGE_CHANGED";

VNTUI_Object::VNTUI_Object() { VNTNotificationCenter::instance().addObserver(this, kLanguageChangedNotification); }

VNTUI_Object::~VNTUI_Object() {
    VNTNotificationCenter::instance().removeObserver(this, kLanguageChangedNotification);
}

void VNTUI_Object::onNotification(void*, const std::wstring& name) {
    if (name == kLanguageChangedNotification) ReloadTexts();
}
