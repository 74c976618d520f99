#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "library/PdfText.h"

namespace {

using skeo::pdfNumber;

TEST(PdfText, NumbersHaveAtMostTwoDecimalsAndNoExponent) {
    EXPECT_EQ(pdfNumber(0), "0");
    EXPECT_EQ(pdfNumber(192), "192");
    EXPECT_EQ(pdfNumber(153.6), "153.6");
    EXPECT_EQ(pdfNumber(0.48), "0.48");
    EXPECT_EQ(pdfNumber(0.05), "0.05");
    EXPECT_EQ(pdfNumber(2.999), "3");
    EXPECT_EQ(pdfNumber(1e7), "10000000");
    EXPECT_EQ(pdfNumber(1234567.25), "1234567.25");
    EXPECT_EQ(pdfNumber(-3.5), "-3.5");
    EXPECT_EQ(pdfNumber(-0.004), "0") << "no negative zero";
    EXPECT_EQ(pdfNumber(std::nan("")), "0");
    EXPECT_EQ(pdfNumber(1e300), "0");
}

TEST(PdfText, PagesAreThePhotoAt150DotsPerInch) {
    const struct {
        int pixels;
        const char* points;
    } sides[] = {{320, "153.6"}, {240, "115.2"}, {1600, "768"}, {1200, "576"}, {1, "0.48"}, {333, "159.84"},
                 {65535, "31456.8"}};
    for (const auto& s : sides) EXPECT_EQ(pdfNumber(skeo::pagePoints(s.pixels)), s.points) << s.pixels;
    EXPECT_EQ(skeo::pdfPageContent(320, 240), "q 153.6 0 0 115.2 0 0 cm /Im0 Do Q");
    EXPECT_EQ(skeo::pdfPageContent(240, 320), "q 115.2 0 0 153.6 0 0 cm /Im0 Do Q");
}

TEST(PdfText, DatesCarryTheirZone) {
    const skeo::PdfDate d{2026, 12, 8, 9, 30, 5};
    EXPECT_EQ(skeo::pdfDate(d, 480), "D:20261208093005+08'00'");
    EXPECT_EQ(skeo::pdfDate(d, 330), "D:20261208093005+05'30'");
    EXPECT_EQ(skeo::pdfDate(d, -570), "D:20261208093005-09'30'");
    EXPECT_EQ(skeo::pdfDate(d, 0), "D:20261208093005Z");
    EXPECT_EQ(skeo::pdfDate({987, 1, 2, 3, 4, 5}, -60), "D:09870102030405-01'00'");
}

TEST(PdfText, DatesOutOfRangeAreLeftOut) {
    const skeo::PdfDate unset{};
    EXPECT_EQ(skeo::pdfDate(unset, 0), "");
    const skeo::PdfDate bad[] = {{2026, 13, 1, 0, 0, 0}, {2026, 1, 32, 0, 0, 0}, {2026, 1, 1, 24, 0, 0},
                                 {2026, 1, 1, 0, 60, 0}, {2026, 1, 1, 0, 0, 60}, {10000, 1, 1, 0, 0, 0},
                                 {-1, 1, 1, 0, 0, 0}};
    for (const auto& d : bad) EXPECT_EQ(skeo::pdfDate(d, 0), "") << d.year << "-" << d.month << "-" << d.day;
    EXPECT_EQ(skeo::pdfDate({2026, 1, 1, 0, 0, 0}, 24 * 60), "");
    EXPECT_EQ(skeo::pdfDate({2026, 1, 1, 0, 0, 0}, -24 * 60), "");
}

TEST(PdfText, TextIsUtf16BigEndianWithItsMark) {
    EXPECT_EQ(skeo::pdfTextString(L""), "<FEFF>");
    EXPECT_EQ(skeo::pdfTextString(L"Skeo 2.0"), "<FEFF0053006B0065006F00200032002E0030>");
    EXPECT_EQ(skeo::pdfTextString(L"\u8AB2\u5802"), "<FEFF8AB25802>");
    // A camera beyond the basic plane: one code point where wchar_t holds it, a pair where it is UTF-16.
    const std::wstring pair = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDCF7)};
    EXPECT_EQ(skeo::pdfTextString(pair), "<FEFFD83DDCF7>");
    if (sizeof(wchar_t) == 4) {
        const std::wstring single(1, static_cast<wchar_t>(0x1F4F7));
        EXPECT_EQ(skeo::pdfTextString(single), "<FEFFD83DDCF7>");
    }
    const std::wstring unpaired = {L'a', static_cast<wchar_t>(0xD83D), L'b', static_cast<wchar_t>(0xDCF7)};
    EXPECT_EQ(skeo::pdfTextString(unpaired), "<FEFF0061FFFD0062FFFD>");
}

TEST(PdfText, CrossReferenceEntriesAreTwentyBytes) {
    EXPECT_EQ(skeo::pdfXrefFreeHead(), std::string("0000000000 65535 f\r\n"));
    EXPECT_EQ(skeo::pdfXrefEntry(0), "0000000000 00000 n\r\n");
    EXPECT_EQ(skeo::pdfXrefEntry(15), "0000000015 00000 n\r\n");
    EXPECT_EQ(skeo::pdfXrefEntry(4294967296ull), "4294967296 00000 n\r\n");
    EXPECT_EQ(skeo::pdfXrefEntry(skeo::kPdfMaxOffset), "9999999999 00000 n\r\n");
    EXPECT_EQ(skeo::pdfXrefEntry(skeo::kPdfMaxOffset + 1), "") << "eleven digits would break the table";
}

TEST(PdfText, JpegImagesNameTheirColourSpace) {
    EXPECT_EQ(skeo::pdfJpegImageDictionary(320, 240, 3, 12345),
              "<< /Type /XObject /Subtype /Image /Width 320 /Height 240 /ColorSpace /DeviceRGB /BitsPerComponent 8"
              " /Filter /DCTDecode /Length 12345 >>");
    const std::string grey = skeo::pdfJpegImageDictionary(240, 320, 1, 99);
    EXPECT_NE(grey.find("/ColorSpace /DeviceGray "), std::string::npos) << grey;
    EXPECT_EQ(grey.find("/Decode"), std::string::npos) << grey;
    const std::string cmyk = skeo::pdfJpegImageDictionary(8, 8, 4, 99);
    EXPECT_NE(cmyk.find("/ColorSpace /DeviceCMYK "), std::string::npos) << cmyk;
    EXPECT_NE(cmyk.find("/Decode [1 0 1 0 1 0 1 0]"), std::string::npos) << cmyk;
    for (int components : {0, 2, 5, 255}) EXPECT_EQ(skeo::pdfJpegImageDictionary(8, 8, components, 99), "") << components;
    EXPECT_EQ(skeo::pdfJpegImageDictionary(0, 8, 3, 99), "");
    EXPECT_EQ(skeo::pdfJpegImageDictionary(8, -1, 3, 99), "");
}

TEST(PdfText, FileIdentifiersFollowEveryByte) {
    const auto idOf = [](const std::string& text) {
        skeo::PdfIdHash hash;
        hash.add(text);
        return hash.hex();
    };
    const std::string id = idOf("photo 1 taken 2026:12:08 09:30:05");
    ASSERT_EQ(id.size(), 34u);
    EXPECT_EQ(id.front(), '<');
    EXPECT_EQ(id.back(), '>');
    EXPECT_EQ(id.find_first_not_of("0123456789ABCDEF", 1), 33u);
    EXPECT_EQ(idOf("photo 1 taken 2026:12:08 09:30:05"), id);
    const std::string other = idOf("photo 1 taken 2026:12:08 09:30:06");
    EXPECT_NE(other.substr(1, 16), id.substr(1, 16));
    EXPECT_NE(other.substr(17, 16), id.substr(17, 16));
    EXPECT_NE(idOf(""), idOf(std::string(1, '\0')));
}

}  // namespace
