#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/VNTLanguageSelector.h"
#include "app/VNTNotificationCenter.h"
#include "resources/StringIds.h"
#include "tests/support/RegistrySandbox.h"

using namespace testsupport;

namespace {

const std::wstring kLanguageKey = L"Software\\Vantor\\Zevlan\\Language";
const LANGID kLanguages[] = {1033, 1028, 1041};

LANGID g_userLanguage = 1033;
LANGID fakeUserLanguage() { return g_userLanguage; }

class CountingObserver : public VNTObject {
public:
    void onNotification(void*, const std::wstring&) override { ++count; }
    int count = 0;
};

class LanguageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sandbox.active());
        VNTLanguageSelector::setUserLanguageSource(&fakeUserLanguage);
        VNTNotificationCenter::instance().addObserver(&observer, L"LANGUAGE_CHANGED");
    }
    void TearDown() override {
        VNTNotificationCenter::instance().removeObserver(&observer, L"");
        VNTLanguageSelector::setUserLanguageSource(nullptr);
    }
    RegistrySandbox sandbox;
    CountingObserver observer;
};

struct FirstRun {
    LANGID user;
    LANGID expected;
};

TEST_F(LanguageTest, FirstRunFollowsTheUserLanguageOrFallsBackToEnglish) {
    for (const FirstRun& c : {FirstRun{1041, 1041}, FirstRun{1028, 1028}, FirstRun{1033, 1033},
                              FirstRun{1031, 1033} /* German */, FirstRun{2052, 1033} /* simplified Chinese */,
                              FirstRun{3076, 1033} /* Chinese, Hong Kong */, FirstRun{2057, 1033} /* English, UK */}) {
        SCOPED_TRACE(c.user);
        deleteValue(kLanguageKey, L"LANGID");
        g_userLanguage = c.user;
        VNTLanguageSelector selector;
        selector.Initialize();
        EXPECT_EQ(selector.language(), c.expected);
        const RawValue stored = readRaw(kLanguageKey, L"LANGID");
        EXPECT_EQ(stored.type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(stored.dword(), c.expected);
    }
}

TEST_F(LanguageTest, AStoredChoiceWinsUnlessItIsUnsupported) {
    g_userLanguage = 1041;
    const DWORD chinese = 1028;
    ASSERT_TRUE(writeRaw(kLanguageKey, L"LANGID", REG_DWORD, &chinese, 4));
    VNTLanguageSelector selector;
    selector.Initialize();
    EXPECT_EQ(selector.language(), 1028);

    const DWORD simplified = 2052;
    ASSERT_TRUE(writeRaw(kLanguageKey, L"LANGID", REG_DWORD, &simplified, 4));
    selector.Initialize();
    EXPECT_EQ(selector.language(), 1033);
    EXPECT_EQ(readRaw(kLanguageKey, L"LANGID").dword(), 1033u) << "stored back";

    const wchar_t text[] = L"1041";
    ASSERT_TRUE(writeRaw(kLanguageKey, L"LANGID", REG_SZ, text, sizeof text));
    selector.Initialize();
    EXPECT_EQ(selector.language(), 1041) << "a value of the wrong type is ignored";
    EXPECT_EQ(readRaw(kLanguageKey, L"LANGID").type, static_cast<DWORD>(REG_DWORD));
}

TEST_F(LanguageTest, EveryChoiceIsAnnouncedEvenWithoutAChange) {
    VNTLanguageSelector selector;
    selector.Initialize();
    EXPECT_EQ(observer.count, 1);
    selector.setLanguage(selector.language());
    selector.setLanguage(selector.language());
    EXPECT_EQ(observer.count, 3);
    selector.setLanguage(1041);
    EXPECT_EQ(selector.language(), 1041);
    EXPECT_EQ(readRaw(kLanguageKey, L"LANGID").dword(), 1041u);
    EXPECT_EQ(observer.count, 4);
}

TEST(StringTable, EveryTextExistsInEveryLanguage) {
    for (LANGID language : kLanguages) {
        for (unsigned short id : kAllStringIds) {
            std::wstring text;
            EXPECT_TRUE(VNTLanguageSelector::loadString(language, id, text)) << "id " << id << " language " << language;
            EXPECT_FALSE(text.empty()) << "id " << id << " language " << language;
        }
    }
}

TEST(StringTable, LanguagesDifferWhereTheyShouldAndAgreeWhereTheyMust) {
    std::wstring en, zh, ja;
    ASSERT_TRUE(VNTLanguageSelector::loadString(1033, IDS_CANCEL, en));
    EXPECT_EQ(en, L"Cancel");
    ASSERT_TRUE(VNTLanguageSelector::loadString(1028, IDS_CANCEL, zh));
    ASSERT_TRUE(VNTLanguageSelector::loadString(1041, IDS_CANCEL, ja));
    EXPECT_NE(zh, en);
    EXPECT_NE(ja, en);
    EXPECT_NE(ja, zh);

    const struct {
        UINT id;
        const wchar_t* text;
    } same[] = {{9004, L"2.0.4.0"}, {9506, L"English"}, {9507, L"\u7E41\u9AD4\u4E2D\u6587"},
                {9508, L"\u65E5\u672C\u8A9E"}};
    for (const auto& s : same) {
        for (LANGID language : kLanguages) {
            std::wstring text;
            ASSERT_TRUE(VNTLanguageSelector::loadString(language, s.id, text));
            EXPECT_EQ(text, s.text) << "id " << s.id << " language " << language;
        }
    }
}

TEST(StringTable, MissingTextsLeaveTheTextAsItWas) {
    std::wstring text = L"as it was";
    EXPECT_FALSE(VNTLanguageSelector::loadString(1033, 8999, text));  // no such block
    EXPECT_FALSE(VNTLanguageSelector::loadString(1031, IDS_OK, text));  // no German table
    EXPECT_FALSE(VNTLanguageSelector::loadString(1033, 9006, text));  // a gap inside a block
    EXPECT_EQ(text, L"as it was");
}

}  // namespace
