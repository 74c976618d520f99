#include <gtest/gtest.h>

#include <climits>
#include <cstring>

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

namespace {

std::vector<VNTSkeoEvent> fastRead(const std::string& text, bool* parsed) {
    std::vector<VNTSkeoEvent> records;
    *parsed = eventxml::parseEventListFast(reinterpret_cast<const uint8_t*>(text.data()), text.size(), records) ==
              eventxml::FastParse::Parsed;
    return records;
}

TEST(EventListFastReader, ReadsWhatItWritesBack) {
    VNTSkeoEvent e = record(L"a&b<c>\"d'\u8AB2.jpg", 12);
    e.resolution = L" spaced \r\n";
    e.pictureSize = L"\U0001F4F7";
    const std::vector<VNTSkeoEvent> written = {e, record(L"b.jpg")};
    bool parsed = false;
    EXPECT_EQ(fastRead(eventxml::formatEventList(written), &parsed), written);
    EXPECT_TRUE(parsed);
}

TEST(EventListFastReader, AcceptsTheFreedomsOfXml) {
    const std::string text =
        "\xEF\xBB\xBF<?xml version='1.0' encoding='UTF-8' ?>\n<!-- index -->\n<Root a=\"1\"><Other><EventList/></Other>"
        "</Root>";
    bool parsed = false;
    EXPECT_TRUE(fastRead(text, &parsed).empty());
    EXPECT_TRUE(parsed) << "the first EventList, empty, anywhere";

    const std::string rich =
        "<EventList>\n  <Event note=\"x\">\n    <EventType> 7x</EventType>\n    <EventFolder><![CDATA[C:\\A&B\\]]></EventFolder>"
        "<eventname>no</eventname><EventName>a<b>c</b>&#100;&#x65;.jpg</EventName><!-- c --><?pi x?>\n"
        "    <Resolution/><Extra>z</Extra>\n  </Event>\n  <Event></Event>\n</EventList>";
    const std::vector<VNTSkeoEvent> records = fastRead(rich, &parsed);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].type, 7);
    EXPECT_EQ(records[0].folder, L"C:\\A&B\\");
    EXPECT_EQ(records[0].name, L"acde.jpg") << "a field takes all the text inside it";
    EXPECT_EQ(records[1], VNTSkeoEvent{});
}

TEST(EventListFastReader, LeavesEverythingDoubtfulToThePlatformParser) {
    const char* const doubtful[] = {
        "",
        "<EventList>",                                                // unclosed
        "<EventList></Eventlist>",                                    // mismatched
        "<EventList><Event></EventList>",
        "<EventList/>trailing",
        "<EventList/><Second/>",                                      // two roots
        "<!DOCTYPE x><EventList/>",
        "<EventList><Event><EventName>&lol;</EventName></Event></EventList>",
        "<EventList><Event><EventName>&#0;</EventName></Event></EventList>",
        "<EventList><Event><EventName>\xC3</EventName></Event></EventList>",   // broken UTF-8
        "<EventList><Event><EventName>\xC0\xAF</EventName></Event></EventList>",  // overlong
        "<?xml version=\"1.0\" encoding=\"utf-16\"?><EventList/>",
        "<EventList a=1/>",
        "<EventList a=\"<\"/>",
        "<Photos><Event/></Photos>",                                  // no EventList: not ours
        "\xFF\xFE<\0E\0",                                             // UTF-16
    };
    for (const char* text : doubtful) {
        bool parsed = true;
        fastRead(std::string(text, std::strlen(text) + (text[0] == '\xFF' ? 4 : 0)), &parsed);
        EXPECT_FALSE(parsed) << text;
    }
    std::string deep;
    for (int i = 0; i < 5000; ++i) deep += "<a>";
    bool parsed = true;
    fastRead(deep, &parsed);
    EXPECT_FALSE(parsed) << "nesting is bounded";
}

TEST(EventListFastReader, EveryTruncationIsRefusedOrReadWithoutOverrun) {
    const std::string full = eventxml::formatEventList({record(L"a.jpg"), record(L"b.jpg")});
    for (size_t n = 0; n < full.size(); ++n) {
        std::vector<uint8_t> cut(full.begin(), full.begin() + n);  // exact size for the sanitizer
        std::vector<VNTSkeoEvent> records;
        EXPECT_EQ(eventxml::parseEventListFast(cut.data(), cut.size(), records), eventxml::FastParse::NotHandled) << n;
    }
}

TEST(EventListFastReader, EventTypeConvertsLikeTheCLibrary) {
    EXPECT_EQ(eventxml::parseEventTypeText(L"abc"), 0);
    EXPECT_EQ(eventxml::parseEventTypeText(L"7x"), 7);
    EXPECT_EQ(eventxml::parseEventTypeText(L"  -12"), -12);
    EXPECT_EQ(eventxml::parseEventTypeText(L"+5"), 5);
    EXPECT_EQ(eventxml::parseEventTypeText(L"99999999999"), INT32_MAX);
    EXPECT_EQ(eventxml::parseEventTypeText(L"-99999999999"), INT32_MIN);
    EXPECT_EQ(eventxml::parseEventTypeText(L""), 0);
}

}  // namespace
