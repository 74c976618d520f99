// A photo name prefix never keeps a character a file name cannot hold, however it was typed or pasted.
#include "settings/PhotoPrefixFilter.h"

#include <gtest/gtest.h>

namespace {

std::wstring filtered(std::wstring text) {
    while (settings::removeFirstForbidden(text)) {
    }
    return text;
}

}  // namespace

TEST(PhotoPrefixFilterTest, EveryForbiddenCharacterGoesAndTheRestStaysInOrder) {
    const struct {
        const wchar_t* typed;
        const wchar_t* kept;
    } cases[] = {
        {L"a:b*c", L"abc"},
        {L"\\/\"?|:<>*", L""},
        {L"Class 3B", L"Class 3B"},
        {L"lab<1>|2", L"lab12"},
        {L"C:\\photos\\", L"Cphotos"},
        {L"\u6559\u5ba4?\u5199\u771f", L"\u6559\u5ba4\u5199\u771f"},  // CJK letters are fine
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(filtered(c.typed), c.kept) << c.typed;
}

TEST(PhotoPrefixFilterTest, ReportsWhereTheCharacterWas) {
    std::wstring text = L"ab:c*";
    size_t at = 99;
    ASSERT_TRUE(settings::removeFirstForbidden(text, &at));
    EXPECT_EQ(text, L"abc*");
    EXPECT_EQ(at, 2u);
    ASSERT_TRUE(settings::removeFirstForbidden(text, &at));
    EXPECT_EQ(at, 3u);
    EXPECT_FALSE(settings::removeFirstForbidden(text, &at));
    for (wchar_t c : std::wstring(L"-_.,;' ()[]{}#&%$!~`^=+")) EXPECT_FALSE(settings::forbiddenInFileName(c)) << c;
}
