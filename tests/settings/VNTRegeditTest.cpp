#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "settings/VNTRegedit.h"
#include "tests/support/RegistrySandbox.h"

using namespace testsupport;

namespace {

const std::wstring kProductKey = L"Software\\Vantor\\Zevlan";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sandbox.active()) << "RegOverridePredefKey failed"; }
    RegistrySandbox sandbox;
    VNTRegedit reg{L"Zevlan"};
};

TEST_F(RegistryTest, ReadingFromAMissingProductKeyCreatesOnlyForNumbers) {
    std::wstring text = L"unchanged";
    EXPECT_FALSE(reg.getString(text, L"", L"VideoDevice"));
    EXPECT_EQ(text, L"unchanged");
    EXPECT_FALSE(keyExists(kProductKey));

    int32_t number = 77;
    EXPECT_FALSE(reg.getDword(number, L"Pello", L"CameraZoom"));
    EXPECT_EQ(number, 77);
    EXPECT_TRUE(keyExists(kProductKey + L"\\Pello"));
}

TEST_F(RegistryTest, TextsRoundTripWithTheirNul) {
    for (const std::wstring& text : {std::wstring(L"C:\\Users\\me\\Pictures\\Skeo\\"), std::wstring(L"\u8AB2\u5802"),
                                     std::wstring(L"x"), std::wstring(L"")}) {
        ASSERT_TRUE(reg.setString(text, L"", L"PhotoLibraryLocation"));
        const RawValue raw = readRaw(kProductKey, L"PhotoLibraryLocation");
        EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(raw.data.size(), (text.size() + 1) * 2) << "stored with exactly one NUL";
        std::wstring back = L"stale";
        EXPECT_TRUE(reg.getString(back, L"", L"PhotoLibraryLocation"));
        EXPECT_EQ(back, text);
    }
}

TEST_F(RegistryTest, TextWithoutNulFromAnotherWriterReadsWhole) {
    const wchar_t raw[] = {L'a', L'b', L'c', L'\\'};
    ASSERT_TRUE(writeRaw(kProductKey, L"VideoDevice", REG_SZ, raw, sizeof raw));
    std::wstring text;
    EXPECT_TRUE(reg.getString(text, L"", L"VideoDevice"));
    EXPECT_EQ(text, L"abc\\");
}

TEST_F(RegistryTest, NumbersRoundTripAsSigned32BitValues) {
    for (int32_t v : {0, 1, -1, 32842, INT32_MIN, INT32_MAX}) {
        ASSERT_TRUE(reg.setDword(v, L"Language", L"LANGID"));
        const RawValue raw = readRaw(kProductKey + L"\\Language", L"LANGID");
        EXPECT_EQ(raw.type, static_cast<DWORD>(REG_DWORD));
        int32_t back = 12345;
        EXPECT_TRUE(reg.getDword(back, L"Language", L"LANGID"));
        EXPECT_EQ(back, v);
    }
}

struct BadValue {
    const char* what;
    DWORD type;
    std::vector<BYTE> data;
};

std::vector<BYTE> bytesOf(const std::wstring& text, bool withNul = true) {
    const BYTE* p = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(p, p + (text.size() + (withNul ? 1 : 0)) * 2);
}

TEST_F(RegistryTest, TextValuesOfTheWrongShapeCountAsMissingAndGetTheDefault) {
    const std::vector<BadValue> cases = {
        {"REG_DWORD", REG_DWORD, {1, 0, 0, 0}},
        {"REG_BINARY", REG_BINARY, bytesOf(L"C:\\x\\")},
        {"REG_EXPAND_SZ", REG_EXPAND_SZ, bytesOf(L"%USERPROFILE%\\x\\")},
        {"REG_MULTI_SZ", REG_MULTI_SZ, bytesOf(std::wstring(L"a\0b\0", 4))},
        {"empty", REG_SZ, {}},
        {"one byte", REG_SZ, {'a'}},
        {"odd byte count", REG_SZ, {'a', 0, 'b', 0, 'c'}},
        {"very long", REG_SZ, bytesOf(std::wstring(40000, L'y'))},
    };
    for (const BadValue& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(writeRaw(kProductKey, L"PhotoNameUserDefine", c.type, c.data.data(),
                             static_cast<DWORD>(c.data.size())));
        std::wstring text = L"unchanged";
        EXPECT_FALSE(reg.getString(text, L"", L"PhotoNameUserDefine"));
        EXPECT_EQ(text, L"unchanged");
        EXPECT_TRUE(reg.getStringOrDefault(text, L"", L"PhotoNameUserDefine", L"lesson"));
        EXPECT_EQ(text, L"lesson");
        const RawValue raw = readRaw(kProductKey, L"PhotoNameUserDefine");
        EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(raw.text(), L"lesson");
    }
}

TEST_F(RegistryTest, NumberValuesOfTheWrongShapeCountAsMissingAndGetTheDefault) {
    const uint64_t big = 5;
    const std::vector<BadValue> cases = {
        {"REG_SZ", REG_SZ, bytesOf(L"2")},
        {"REG_BINARY", REG_BINARY, {2, 0, 0, 0}},
        {"REG_QWORD", REG_QWORD, std::vector<BYTE>(reinterpret_cast<const BYTE*>(&big),
                                                   reinterpret_cast<const BYTE*>(&big) + 8)},
        {"short REG_DWORD", REG_DWORD, {2, 0}},
        {"empty REG_DWORD", REG_DWORD, {}},
    };
    for (const BadValue& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(writeRaw(kProductKey, L"InstantPreview", c.type, c.data.data(), static_cast<DWORD>(c.data.size())));
        int32_t value = 99;
        EXPECT_FALSE(reg.getDword(value, L"", L"InstantPreview"));
        EXPECT_EQ(value, 99);
        EXPECT_TRUE(reg.getDwordOrDefault(value, L"", L"InstantPreview", 1));
        EXPECT_EQ(value, 1);
        const RawValue raw = readRaw(kProductKey, L"InstantPreview");
        EXPECT_EQ(raw.type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(raw.dword(), 1u);
    }
}

TEST_F(RegistryTest, DefaultsAreStoredSoTheNextReadFindsThem) {
    int32_t value = 0;
    EXPECT_TRUE(reg.getDwordOrDefault(value, L"Skeo", L"CameraResolution", 32842));
    EXPECT_EQ(value, 32842);
    ASSERT_TRUE(reg.setDword(32845, L"Skeo", L"CameraResolution"));
    EXPECT_TRUE(reg.getDwordOrDefault(value, L"Skeo", L"CameraResolution", 32842));
    EXPECT_EQ(value, 32845) << "a stored value wins over the default";
}

TEST_F(RegistryTest, AnEmptyProductNameTouchesNothing) {
    VNTRegedit nameless(L"");
    std::wstring text;
    int32_t number = 0;
    EXPECT_FALSE(nameless.setString(L"x", L"", L"A"));
    EXPECT_FALSE(nameless.setDword(1, L"", L"B"));
    EXPECT_FALSE(nameless.getDword(number, L"Sub", L"B"));
    EXPECT_FALSE(nameless.getDwordOrDefault(number, L"Sub", L"B", 3));
    EXPECT_FALSE(nameless.setRunAtStartup(true));
    EXPECT_FALSE(nameless.deleteKeyTree(L"Software"));
    EXPECT_FALSE(keyExists(L"Software\\Vantor"));
}

TEST_F(RegistryTest, RunAtLogOnEntryQuotesThisProgramAndAddsStartup) {
    ASSERT_TRUE(createKey(VNTRegedit::kRunKey));
    const wchar_t other[] = L"C:\\other.exe";
    ASSERT_TRUE(writeRaw(VNTRegedit::kRunKey, L"Other", REG_SZ, other, sizeof other));

    EXPECT_FALSE(reg.isRunAtStartup());
    EXPECT_FALSE(reg.setRunAtStartup(false)) << "switching off reports false";
    EXPECT_TRUE(readRaw(VNTRegedit::kRunKey, L"Other").present);

    ASSERT_TRUE(reg.setRunAtStartup(true));
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const RawValue entry = readRaw(VNTRegedit::kRunKey, L"Zevlan");
    EXPECT_EQ(entry.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(entry.text(), L"\"" + std::wstring(self) + L"\" -startup");
    EXPECT_TRUE(reg.isRunAtStartup());

    EXPECT_FALSE(reg.setRunAtStartup(false));
    EXPECT_FALSE(readRaw(VNTRegedit::kRunKey, L"Zevlan").present);
    EXPECT_FALSE(reg.isRunAtStartup());
    EXPECT_TRUE(readRaw(VNTRegedit::kRunKey, L"Other").present);
}

TEST_F(RegistryTest, RunAtLogOnNeedsTheRunKeyToExist) {
    EXPECT_FALSE(reg.setRunAtStartup(true));
    EXPECT_FALSE(keyExists(VNTRegedit::kRunKey)) << "the list is never created";
}

TEST_F(RegistryTest, DeleteKeyTreeRemovesEveryLevelAndTreatsMissingAsDeleted) {
    EXPECT_TRUE(reg.deleteKeyTree(kProductKey + L"\\Pello\\"));
    ASSERT_TRUE(reg.setDword(1, L"Pello\\A\\B\\C", L"Deep"));
    ASSERT_TRUE(reg.setDword(1, L"Pello\\A\\Side", L"V"));
    ASSERT_TRUE(reg.setDword(1, L"Pello", L"CameraZoom"));
    ASSERT_TRUE(reg.setDword(1, L"Skeo", L"CameraZoom"));
    EXPECT_TRUE(reg.deleteKeyTree(kProductKey + L"\\Pello\\"));
    EXPECT_FALSE(keyExists(kProductKey + L"\\Pello"));
    EXPECT_TRUE(keyExists(kProductKey + L"\\Skeo")) << "a sibling stays";
}

TEST_F(RegistryTest, DeleteKeyTreeOfALongPathDeletesThatKeyAndNoOther) {
    // Cut to a fixed buffer, the path below would name its sibling "ccc..." instead.
    const std::wstring a(250, L'a'), b(250, L'b'), c(250, L'c');
    const std::wstring target = L"T\\" + a + L"\\" + b + L"\\" + c;
    ASSERT_GT(target.size(), 520u);
    const std::wstring cutSibling = target.substr(0, 519);
    ASSERT_TRUE(createKey(target + L"\\leaf"));
    ASSERT_TRUE(createKey(cutSibling));
    EXPECT_TRUE(reg.deleteKeyTree(target));
    EXPECT_FALSE(keyExists(target));
    EXPECT_TRUE(keyExists(cutSibling));
}

TEST_F(RegistryTest, DeleteKeyTreeRefusesTheRootOfTheUsersRegistry) {
    ASSERT_TRUE(createKey(L"Keep"));
    EXPECT_FALSE(reg.deleteKeyTree(L""));
    EXPECT_FALSE(reg.deleteKeyTree(L"\\"));
    EXPECT_TRUE(keyExists(L"Keep"));
}

}  // namespace
