// The text pieces of the PDF files the photo library writes, free of Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace skeo {

// At most two decimals, trailing zeros dropped, never an exponent, and '.' whatever the locale:
// readers take nothing else.
std::string pdfNumber(double value);

// A photo side in points on a page printed at 150 dots per inch.
double pagePoints(int pixels);

struct PdfDate {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// "D:YYYYMMDDHHmmSS" and the zone: "Z", "+HH'mm'" or "-HH'mm'" (local minus universal time). Empty
// when a field is out of range, so that no reader is given a date it cannot parse.
std::string pdfDate(const PdfDate& local, int utcOffsetMinutes);

// A text string any reader shows in any language: UTF-16BE after its byte-order mark, in hex. The
// text is UTF-16 or UTF-32 as wchar_t is; unpaired surrogates become U+FFFD.
std::string pdfTextString(const std::wstring& text);

// "<...>": the bytes in upper-case hex.
std::string pdfHexString(const uint8_t* data, size_t size);

// The largest offset a cross-reference entry holds (ten digits).
constexpr uint64_t kPdfMaxOffset = 9999999999ull;
// One 20-byte entry of the cross-reference table: an object in use at that offset.
std::string pdfXrefEntry(uint64_t offset);
// The entry of object 0, head of the (empty) list of free objects.
std::string pdfXrefFreeHead();

// The dictionary of a JPEG image stream of that many colour components (1, 3 or 4) and bytes; empty
// for any other count. CMYK JPEGs are written inverted (the Adobe convention), so theirs is decoded
// back.
std::string pdfJpegImageDictionary(int width, int height, int components, size_t length);

// The page's drawing: the image /Im0 stretched over a page of the photo's size in points.
std::string pdfPageContent(int widthPixels, int heightPixels);

// A 16-byte file identifier made from whatever tells this file from others: FNV-1a in two lanes.
class PdfIdHash {
public:
    void add(const void* data, size_t size);
    void add(const std::string& text) { add(text.data(), text.size()); }
    // "<...>" of the 16 bytes.
    std::string hex() const;

private:
    uint64_t a_ = 0xcbf29ce484222325ull;
    uint64_t b_ = 0x84222325cbf29ce4ull;
};

}  // namespace skeo
