#include "framework/TraceFormat.h"

#include <cwchar>

namespace vnt {

std::wstring formatTraceLine(const TraceTime& t, const std::wstring& message) {
    wchar_t prefix[96];
    std::swprintf(prefix, sizeof prefix / sizeof prefix[0], L"[%d/%d/%d - %d:%d:%d:%d]", t.month, t.day,
                  t.year, t.hour, t.minute, t.second, t.millisecond);
    std::wstring line(prefix);
    line += message;
    if (line.empty() || line.back() != L'\n') line += L'\n';
    return line;
}

std::wstring singleLine(const std::wstring& text) {
    std::wstring line;
    line.reserve(text.size());
    bool inBreak = false;
    for (const wchar_t c : text) {
        const bool lineBreak = c == L'\r' || c == L'\n';
        if (lineBreak && !inBreak) line += L' ';
        if (!lineBreak) line += c;
        inBreak = lineBreak;
    }
    while (!line.empty() && (line.back() == L' ' || line.back() == L'\t')) line.pop_back();
    return line;
}

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string toUtf8(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if (sizeof(wchar_t) == 2) {
            c &= 0xFFFF;
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
                char32_t low = static_cast<char32_t>(text[i + 1]) & 0xFFFF;
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    appendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                    ++i;
                    continue;
                }
            }
        }
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
        appendUtf8(out, c);
    }
    return out;
}

}  // namespace vnt
