#include "library/EventListText.h"

#include "framework/TraceFormat.h"

namespace eventxml {
namespace {

bool allowedInXml(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

std::wstring escaped(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        char32_t code = static_cast<char32_t>(c) & (sizeof(wchar_t) == 2 ? 0xFFFF : 0xFFFFFFFF);
        // A well-formed surrogate pair is one character; pass both halves through.
        if (sizeof(wchar_t) == 2 && code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size()) {
            const char32_t low = static_cast<char32_t>(text[i + 1]) & 0xFFFF;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                out += c;
                out += text[++i];
                continue;
            }
        }
        switch (c) {
        case L'&': out += L"&amp;"; break;
        case L'<': out += L"&lt;"; break;
        case L'>': out += L"&gt;"; break;
        case L'\r': out += L"&#13;"; break;  // a raw CR would come back as LF
        default: out += allowedInXml(code) ? c : L'\xFFFD';
        }
    }
    return out;
}

void element(std::wstring& out, const wchar_t* name, const std::wstring& text) {
    out += L'<';
    out += name;
    out += L'>';
    out += escaped(text);
    out += L"</";
    out += name;
    out += L'>';
}

}  // namespace

std::string formatEventList(const std::vector<VNTSkeoEvent>& records) {
    std::wstring out = L"<?xml version=\"1.0\" encoding=\"utf-8\"?><EventList>";
    for (const VNTSkeoEvent& r : records) {
        out += L"<Event>";
        element(out, L"EventType", std::to_wstring(r.type));
        element(out, L"EventFolder", r.folder);
        element(out, L"EventName", r.name);
        element(out, L"Resolution", r.resolution);
        element(out, L"PictureSize", r.pictureSize);
        out += L"</Event>";
    }
    out += L"</EventList>";
    return vnt::toUtf8(out);
}

}  // namespace eventxml
