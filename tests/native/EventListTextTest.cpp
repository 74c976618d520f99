#include <gtest/gtest.h>

#include "library/EventListText.h"

namespace {

VNTSkeoEvent record(const std::wstring& name, int32_t type = 0) {
    VNTSkeoEvent e;
    e.type = type;
    e.folder = L"C:\\Photos\\";
    e.name = name;
    return e;
}

TEST(EventListText, DeclarationRootAndFiveChildrenInOrderWithoutIndentation) {
    EXPECT_EQ(eventxml::formatEventList({}), "<?xml version=\"1.0\" encoding=\"utf-8\"?><EventList></EventList>");
    VNTSkeoEvent e = record(L"a.jpg", -7);
    e.pictureSize = L"2 MB";
    EXPECT_EQ(eventxml::formatEventList({e, record(L"b.jpg")}),
              "<?xml version=\"1.0\" encoding=\"utf-8\"?><EventList>"
              "<Event><EventType>-7</EventType><EventFolder>C:\\Photos\\</EventFolder><EventName>a.jpg</EventName>"
              "<Resolution></Resolution><PictureSize>2 MB</PictureSize></Event>"
              "<Event><EventType>0</EventType><EventFolder>C:\\Photos\\</EventFolder><EventName>b.jpg</EventName>"
              "<Resolution></Resolution><PictureSize></PictureSize></Event></EventList>");
}

TEST(EventListText, MarkupIsEscapedAndTextIsUtf8) {
    const std::string text = eventxml::formatEventList({record(L"a&b<c>\"d'\u8AB2.jpg")});
    EXPECT_NE(text.find("<EventName>a&amp;b&lt;c&gt;\"d'\xE8\xAA\xB2.jpg</EventName>"), std::string::npos) << text;
}

TEST(EventListText, CharactersXmlCannotCarryAreReplacedAndCarriageReturnsKept) {
    std::wstring name = L"x";
    name += wchar_t(0x01);
    name += L"\r\n";
    name += wchar_t(0xFFFE);
    if (sizeof(wchar_t) == 2) {
        name += wchar_t(0xDC00);                    // a lone low surrogate
        name += {wchar_t(0xD83D), wchar_t(0xDCF7)};  // a proper pair: kept
    }
    const std::string text = eventxml::formatEventList({record(name)});
    std::string expected = "<EventName>x\xEF\xBF\xBD&#13;\n\xEF\xBF\xBD";
    if (sizeof(wchar_t) == 2) expected += "\xEF\xBF\xBD\xF0\x9F\x93\xB7";
    EXPECT_NE(text.find(expected + "</EventName>"), std::string::npos) << text;
}

}  // namespace
