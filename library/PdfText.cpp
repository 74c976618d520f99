#include "library/PdfText.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace skeo {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void appendHex(std::string& out, uint8_t byte) {
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 15];
}

void appendUnit(std::string& out, uint32_t unit) {
    appendHex(out, static_cast<uint8_t>(unit >> 8));
    appendHex(out, static_cast<uint8_t>(unit));
}

bool isHighSurrogate(uint32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(uint32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The splitmix64 finaliser: spreads every input bit over the whole lane.
uint64_t mixed(uint64_t x) {
    x ^= x >> 30;
    x *= 0xbf58476d1ce4e5b9ull;
    x ^= x >> 27;
    x *= 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}

}  // namespace

std::string pdfNumber(double value) {
    // Page sides stay far below this; beyond it the rounding below would overflow.
    if (!std::isfinite(value) || std::fabs(value) > 1e12) return "0";
    const long long hundredths = std::llround(value * 100.0);
    const unsigned long long magnitude =
        hundredths < 0 ? 0ull - static_cast<unsigned long long>(hundredths) : static_cast<unsigned long long>(hundredths);
    std::string text = hundredths < 0 ? "-" : "";
    text += std::to_string(magnitude / 100);
    const unsigned fraction = static_cast<unsigned>(magnitude % 100);
    if (fraction != 0) {
        text += '.';
        text += static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0) text += static_cast<char>('0' + fraction % 10);
    }
    return text;
}

double pagePoints(int pixels) { return pixels * 72.0 / 150.0; }

std::string pdfDate(const PdfDate& d, int utcOffsetMinutes) {
    const bool valid = d.year >= 0 && d.year <= 9999 && d.month >= 1 && d.month <= 12 && d.day >= 1 && d.day <= 31 &&
                       d.hour >= 0 && d.hour <= 23 && d.minute >= 0 && d.minute <= 59 && d.second >= 0 &&
                       d.second <= 59 && utcOffsetMinutes > -24 * 60 && utcOffsetMinutes < 24 * 60;
    if (!valid) return std::string();
    char text[40];
    int n = std::snprintf(text, sizeof text, "D:%04d%02d%02d%02d%02d%02d", d.year, d.month, d.day, d.hour, d.minute,
                          d.second);
    if (utcOffsetMinutes == 0) {
        std::snprintf(text + n, sizeof text - n, "Z");
    } else {
        const int magnitude = utcOffsetMinutes < 0 ? -utcOffsetMinutes : utcOffsetMinutes;
        std::snprintf(text + n, sizeof text - n, "%c%02d'%02d'", utcOffsetMinutes < 0 ? '-' : '+', magnitude / 60,
                      magnitude % 60);
    }
    return text;
}

std::string pdfTextString(const std::wstring& text) {
    std::string out = "<FEFF";
    out.reserve(5 + text.size() * 4 + 1);
    for (size_t i = 0; i < text.size(); ++i) {
        const uint32_t c = static_cast<uint32_t>(text[i]);
        if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(static_cast<uint32_t>(text[i + 1]))) {
            appendUnit(out, c);
            appendUnit(out, static_cast<uint32_t>(text[++i]));
        } else if (isHighSurrogate(c) || isLowSurrogate(c) || c > 0x10FFFF) {
            appendUnit(out, 0xFFFD);
        } else if (c > 0xFFFF) {
            appendUnit(out, 0xD800 + ((c - 0x10000) >> 10));
            appendUnit(out, 0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            appendUnit(out, c);
        }
    }
    return out + ">";
}

std::string pdfHexString(const uint8_t* data, size_t size) {
    std::string out = "<";
    out.reserve(size * 2 + 2);
    for (size_t i = 0; i < size; ++i) appendHex(out, data[i]);
    return out + ">";
}

std::string pdfXrefEntry(uint64_t offset) {
    if (offset > kPdfMaxOffset) return std::string();
    char entry[24];
    std::snprintf(entry, sizeof entry, "%010llu 00000 n\r\n", static_cast<unsigned long long>(offset));
    return entry;
}

std::string pdfXrefFreeHead() { return "0000000000 65535 f\r\n"; }

std::string pdfJpegImageDictionary(int width, int height, int components, size_t length) {
    const char* space = components == 1 ? "/DeviceGray" : components == 3 ? "/DeviceRGB" : components == 4 ? "/DeviceCMYK" : nullptr;
    if (!space || width <= 0 || height <= 0) return std::string();
    std::string d = "<< /Type /XObject /Subtype /Image /Width " + std::to_string(width) + " /Height " +
                    std::to_string(height) + " /ColorSpace " + space + " /BitsPerComponent 8";
    if (components == 4) d += " /Decode [1 0 1 0 1 0 1 0]";
    return d + " /Filter /DCTDecode /Length " + std::to_string(length) + " >>";
}

std::string pdfPageContent(int widthPixels, int heightPixels) {
    return "q " + pdfNumber(pagePoints(widthPixels)) + " 0 0 " + pdfNumber(pagePoints(heightPixels)) +
           " 0 0 cm /Im0 Do Q";
}

void PdfIdHash::add(const void* data, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) {
        a_ = (a_ ^ bytes[i]) * 0x100000001b3ull;
        b_ = (b_ ^ static_cast<uint8_t>(bytes[i] + i)) * 0x100000001b3ull;
    }
}

std::string PdfIdHash::hex() const {
    uint8_t id[16];
    const uint64_t lanes[2] = {mixed(a_), mixed(b_ ^ a_)};
    for (int lane = 0; lane < 2; ++lane)
        for (int i = 0; i < 8; ++i) id[lane * 8 + i] = static_cast<uint8_t>(lanes[lane] >> (56 - 8 * i));
    return pdfHexString(id, sizeof id);
}

}  // namespace skeo
