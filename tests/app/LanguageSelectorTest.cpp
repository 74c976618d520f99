#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

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

struct StoredLanguage {
    std::string what;
    DWORD type;
    std::vector<BYTE> bytes;
    LANGID chosen;
};

StoredLanguage storedDword(uint32_t v, LANGID chosen) {
    std::vector<BYTE> bytes(4);
    std::memcpy(bytes.data(), &v, 4);
    return {"dword " + std::to_string(static_cast<int32_t>(v)), REG_DWORD, bytes, chosen};
}

TEST_F(LanguageTest, AStoredChoiceWinsUnlessItIsUnsupported) {
    g_userLanguage = 1041;
    const wchar_t text[] = L"1041";
    const std::vector<BYTE> textBytes(reinterpret_cast<const BYTE*>(text),
                                      reinterpret_cast<const BYTE*>(text) + sizeof text);
    const StoredLanguage cases[] = {
        storedDword(1028, 1028),
        storedDword(1033, 1033),
        storedDword(2052, 1033),
        storedDword(0x00010411u, 1033),  // its low half alone would read as Japanese
        storedDword(0xFFFF0404u, 1033),
        storedDword(0xFFFFFFFFu, 1033),
        storedDword(0, 1033),
        // Unreadable counts as missing: the user's own language.
        {"REG_SZ", REG_SZ, textBytes, 1041},
        {"3-byte binary", REG_BINARY, {0x04, 0x04, 0}, 1041},
    };
    for (const StoredLanguage& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(writeRaw(kLanguageKey, L"LANGID", c.type, c.bytes.data(), static_cast<DWORD>(c.bytes.size())));
        VNTLanguageSelector selector;
        selector.Initialize();
        EXPECT_EQ(selector.language(), c.chosen);
        const RawValue stored = readRaw(kLanguageKey, L"LANGID");
        EXPECT_EQ(stored.type, static_cast<DWORD>(REG_DWORD)) << "stored back";
        EXPECT_EQ(stored.dword(), c.chosen) << "stored back";
    }
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
