#include <gtest/gtest.h>

#include "framework/TraceFormat.h"

namespace {

TEST(TraceFormat, PrefixIsMonthDayYearThenTimeWithoutPadding) {
    const vnt::TraceTime t{2026, 3, 7, 9, 5, 4, 31};
    EXPECT_EQ(vnt::formatTraceLine(t, L"VNTSkeoDatabaseManager::VNTSkeoDatabaseManager()"),
              L"[3/7/2026 - 9:5:4:31]VNTSkeoDatabaseManager::VNTSkeoDatabaseManager()\n");
}

TEST(TraceFormat, OneNewlineEvenWhenTheMessageHasOne) {
    const vnt::TraceTime t{2026, 12, 31, 23, 59, 59, 999};
    EXPECT_EQ(vnt::formatTraceLine(t, L"create failed.\n"), L"[12/31/2026 - 23:59:59:999]create failed.\n");
    EXPECT_EQ(vnt::formatTraceLine(t, L""), L"[12/31/2026 - 23:59:59:999]\n");
}

TEST(TraceFormat, PlatformTextsBecomeOneLine) {
    const struct {
        const wchar_t* text;
        const wchar_t* line;
    } cases[] = {
        {L"The system cannot find the file specified.\r\n", L"The system cannot find the file specified."},
        {L"First part.\r\nSecond part.\r\n", L"First part. Second part."},
        {L"lone\rcarriage\nand feed \t\r\n\r\n", L"lone carriage and feed"},
        {L"\r\n", L""},
        {L"", L""},
        {L"no break", L"no break"},
    };
    for (const auto& c : cases) EXPECT_EQ(vnt::singleLine(c.text), c.line) << vnt::toUtf8(c.text);
}

TEST(TraceFormat, Utf8OfEveryPlane) {
    EXPECT_EQ(vnt::toUtf8(L"Skeo"), "Skeo");
    EXPECT_EQ(vnt::toUtf8(L"\u7e41\u9ad4"), "\xE7\xB9\x81\xE9\xAB\x94");  // 繁體
    EXPECT_EQ(vnt::toUtf8(L"\u00e9"), "\xC3\xA9");
    std::wstring astral;
    if (sizeof(wchar_t) == 2) {
        astral = {wchar_t(0xD83D), wchar_t(0xDCF7)};  // U+1F4F7 as a surrogate pair
    } else {
        astral = {wchar_t(0x1F4F7)};
    }
    EXPECT_EQ(vnt::toUtf8(astral), "\xF0\x9F\x93\xB7");
}

TEST(TraceFormat, UnpairedSurrogatesBecomeReplacementCharacters) {
    const std::wstring lone{wchar_t(0xD800), L'a', wchar_t(0xDC00)};
    EXPECT_EQ(vnt::toUtf8(lone), "\xEF\xBF\xBD" "a" "\xEF\xBF\xBD");
}

}  // namespace
