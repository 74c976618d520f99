// The settings sheet's tests: common controls, a registry of their own with the run-at-log-on list
// every Windows profile has, the settings loaded from it, English.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/VNTLanguageSelector.h"
#include "settings/VNTRegedit.h"
#include "settings/VNTSkeoRegedit.h"
#include "tests/support/RegistrySandbox.h"

class SettingsSheetFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
    }
    void SetUp() override {
        ASSERT_TRUE(registry_.active());
        ASSERT_TRUE(testsupport::createKey(VNTRegedit::kRunKey));
        VNTLanguageSelector::instance().setLanguage(VNTLanguageSelector::kEnglish);
        settings_.loadSettings();
    }
    void TearDown() override { VNTLanguageSelector::instance().setLanguage(VNTLanguageSelector::kEnglish); }

    testsupport::RegistrySandbox registry_;
    VNTSkeoRegedit settings_;
};
