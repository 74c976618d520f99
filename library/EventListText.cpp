#include "library/EventListText.h"

#include <cctype>
#include <climits>
#include <cstring>
#include <cwchar>

#include "framework/TraceFormat.h"

namespace eventxml {
namespace {

bool allowedInXml(char32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

// The text escaped as XML wants it and written as UTF-8 straight into the file's bytes: a large
// index is written in one pass, without a wide copy of the whole document.
void appendEscaped(std::string& out, const std::wstring& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c < 0x80) {
            switch (c) {
            case L'&': out += "&amp;"; break;
            case L'<': out += "&lt;"; break;
            case L'>': out += "&gt;"; break;
            case L'\r': out += "&#13;"; break;  // a raw CR would come back as LF
            default:
                if (allowedInXml(static_cast<char32_t>(c)))
                    out += static_cast<char>(c);
                else
                    out += "\xEF\xBF\xBD";  // U+FFFD
            }
            continue;
        }
        char32_t code = static_cast<char32_t>(c) & (sizeof(wchar_t) == 2 ? 0xFFFF : 0xFFFFFFFF);
        // A well-formed surrogate pair is one character.
        if (sizeof(wchar_t) == 2 && code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size()) {
            const char32_t low = static_cast<char32_t>(text[i + 1]) & 0xFFFF;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        vnt::appendUtf8(out, allowedInXml(code) ? code : 0xFFFD);
    }
}

void element(std::string& out, const char* name, const std::wstring& text) {
    out += '<';
    out += name;
    out += '>';
    appendEscaped(out, text);
    out += "</";
    out += name;
    out += '>';
}

const char kHead[] = "<?xml version=\"1.0\" encoding=\"utf-8\"?><EventList>";
const char kTail[] = "</EventList>";

}  // namespace

std::string formatEventList(const std::vector<VNTSkeoEvent>& records) {
    std::vector<std::string> texts;
    texts.reserve(records.size());
    for (const VNTSkeoEvent& r : records) texts.push_back(formatEventRecord(r));
    return joinEventList(texts);
}

std::string formatEventRecord(const VNTSkeoEvent& record) {
    std::string out;
    out.reserve(128 + record.folder.size() + record.name.size() + record.resolution.size() + record.pictureSize.size());
    out += "<Event><EventType>";
    out += std::to_string(record.type);
    out += "</EventType>";
    element(out, "EventFolder", record.folder);
    element(out, "EventName", record.name);
    element(out, "Resolution", record.resolution);
    element(out, "PictureSize", record.pictureSize);
    out += "</Event>";
    return out;
}

std::string joinEventList(const std::vector<std::string>& recordTexts) {
    size_t size = sizeof kHead + sizeof kTail;
    for (const std::string& text : recordTexts) size += text.size();
    std::string out;
    out.reserve(size);
    out += kHead;
    for (const std::string& text : recordTexts) out += text;
    out += kTail;
    return out;
}

}  // namespace eventxml

namespace eventxml {
namespace {

// A strict single-pass reader; any surprise throws NotHandled back to the caller.
class FastReader {
public:
    FastReader(const uint8_t* data, size_t size) : p_(data), end_(data + size) {}

    bool run(std::vector<VNTSkeoEvent>& records) {
        if (end_ - p_ >= 3 && p_[0] == 0xEF && p_[1] == 0xBB && p_[2] == 0xBF) p_ += 3;
        if (p_ == end_ || (*p_ != '<' && !space(*p_))) return false;  // UTF-16 and friends go to the DOM
        if (!prolog()) return false;
        if (p_ == end_ || *p_ != '<') return false;
        records_ = &records;
        std::string tag;
        if (!element(0, Mode::Generic, tag, nullptr, nullptr)) return false;
        return misc() && p_ == end_;
    }

    bool sawEventList() const { return sawList_; }

private:
    static bool space(uint8_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
    static bool nameChar(uint8_t c) { return !space(c) && c != '/' && c != '>' && c != '=' && c != '<' && c != '&' && c != '"' && c != '\''; }

    bool startsWith(const char* s) const {
        const size_t n = std::strlen(s);
        return static_cast<size_t>(end_ - p_) >= n && std::memcmp(p_, s, n) == 0;
    }
    void skipSpace() {
        while (p_ < end_ && space(*p_)) ++p_;
    }
    bool skipPast(const char* terminator) {
        const size_t n = std::strlen(terminator);
        for (; static_cast<size_t>(end_ - p_) >= n; ++p_)
            if (std::memcmp(p_, terminator, n) == 0) {
                p_ += n;
                return true;
            }
        return false;
    }

    // The declaration (only UTF-8 is ours to read), comments and processing instructions.
    bool prolog() {
        if (startsWith("<?xml") && p_ + 5 < end_ && space(p_[5])) {
            const uint8_t* start = p_;
            if (!skipPast("?>")) return false;
            std::string decl(start, p_);
            for (char& c : decl) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            const size_t at = decl.find("encoding");
            if (at != std::string::npos && decl.find("utf-8", at) == std::string::npos) return false;
        }
        return misc();
    }
    bool misc() {
        for (;;) {
            skipSpace();
            if (startsWith("<!--")) {
                if (!skipPast("-->")) return false;
            } else if (startsWith("<?")) {
                if (!skipPast("?>")) return false;
            } else {
                return !startsWith("<!");  // a DTD or anything else declared: not ours
            }
        }
    }

    bool name(std::string& out) {
        const uint8_t* start = p_;
        while (p_ < end_ && nameChar(*p_)) ++p_;
        out.assign(start, p_);
        return !out.empty();
    }

    // Attributes are read for well-formedness and ignored.
    bool attributes() {
        for (;;) {
            const bool separated = p_ < end_ && space(*p_);
            skipSpace();
            if (p_ == end_) return false;
            if (*p_ == '>' || *p_ == '/') return true;
            std::string ignored;
            if (!separated || !name(ignored)) return false;
            skipSpace();
            if (p_ == end_ || *p_ != '=') return false;
            ++p_;
            skipSpace();
            if (p_ == end_ || (*p_ != '"' && *p_ != '\'')) return false;
            const uint8_t quote = *p_++;
            std::string value;
            while (p_ < end_ && *p_ != quote) {
                if (*p_ == '<') return false;
                if (*p_ == '&') {
                    if (!reference(value)) return false;
                } else {
                    value += static_cast<char>(*p_++);
                }
            }
            if (p_ == end_) return false;
            ++p_;
        }
    }

    bool reference(std::string& out) {
        const uint8_t* semicolon = p_;
        while (semicolon < end_ && *semicolon != ';' && semicolon - p_ < 12) ++semicolon;
        if (semicolon == end_ || *semicolon != ';') return false;
        const std::string ref(p_ + 1, semicolon);
        p_ = semicolon + 1;
        if (ref == "lt") out += '<';
        else if (ref == "gt") out += '>';
        else if (ref == "amp") out += '&';
        else if (ref == "quot") out += '"';
        else if (ref == "apos") out += '\'';
        else if (ref.size() > 1 && ref[0] == '#') {
            const bool hex = ref[1] == 'x';
            const std::string digits = ref.substr(hex ? 2 : 1);
            if (digits.empty() || digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") != std::string::npos)
                return false;
            const unsigned long cp = std::stoul(digits, nullptr, hex ? 16 : 10);
            if (!validChar(cp)) return false;
            vnt::appendUtf8(out, static_cast<char32_t>(cp));
        } else {
            return false;  // an entity only a DTD could define
        }
        return true;
    }

    static bool validChar(unsigned long c) {
        return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
               (c >= 0x10000 && c <= 0x10FFFF);
    }
    // Strict UTF-8 to UTF-16 (or UTF-32 where wchar_t is wider); false on any malformed sequence.
    static bool widen(const std::string& in, std::wstring& out) {
        out.clear();
        out.reserve(in.size());
        for (size_t i = 0; i < in.size();) {
            const uint8_t b = static_cast<uint8_t>(in[i]);
            char32_t c;
            size_t n;
            if (b < 0x80) { c = b; n = 1; }
            else if ((b & 0xE0) == 0xC0) { c = b & 0x1F; n = 2; }
            else if ((b & 0xF0) == 0xE0) { c = b & 0x0F; n = 3; }
            else if ((b & 0xF8) == 0xF0) { c = b & 0x07; n = 4; }
            else return false;
            if (i + n > in.size()) return false;
            for (size_t k = 1; k < n; ++k) {
                const uint8_t cont = static_cast<uint8_t>(in[i + k]);
                if ((cont & 0xC0) != 0x80) return false;
                c = (c << 6) | (cont & 0x3F);
            }
            static const char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
            if (c < minimum[n] || !validChar(c)) return false;
            if (sizeof(wchar_t) == 2 && c >= 0x10000) {
                out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
                out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
            } else {
                out += static_cast<wchar_t>(c);
            }
            i += n;
        }
        return true;
    }

    enum class Mode { Generic, List, Record };

    // One element from its '<': `tag` gets its name, `text` (when given) the text of all it holds.
    // The first EventList element anywhere makes its element children records, whose element
    // children are fields.
    bool element(int depth, Mode mode, std::string& tag, std::string* text, VNTSkeoEvent* record) {
        if (depth > 256) return false;
        ++p_;
        if (!name(tag) || !attributes()) return false;
        if (mode == Mode::Generic && !sawList_ && tag == "EventList") {
            sawList_ = true;
            mode = Mode::List;
        }
        if (*p_ == '/') {
            ++p_;
            if (p_ == end_ || *p_ != '>') return false;
            ++p_;
            return true;
        }
        ++p_;
        for (;;) {
            if (p_ == end_) return false;
            if (*p_ != '<') {
                if (!characters(text)) return false;
            } else if (startsWith("</")) {
                p_ += 2;
                std::string closing;
                if (!name(closing) || closing != tag) return false;
                skipSpace();
                if (p_ == end_ || *p_ != '>') return false;
                ++p_;
                return true;
            } else if (startsWith("<!--")) {
                if (!skipPast("-->")) return false;
            } else if (startsWith("<![CDATA[")) {
                p_ += 9;
                const uint8_t* start = p_;
                if (!skipPast("]]>")) return false;
                if (text) text->append(start, p_ - 3);
            } else if (startsWith("<?")) {
                if (!skipPast("?>")) return false;
            } else if (startsWith("<!")) {
                return false;
            } else if (!child(depth, mode, text, record)) {
                return false;
            }
        }
    }

    bool child(int depth, Mode mode, std::string* text, VNTSkeoEvent* record) {
        std::string childTag;
        if (mode == Mode::List) {
            VNTSkeoEvent r;
            if (!element(depth + 1, Mode::Record, childTag, nullptr, &r)) return false;
            records_->push_back(std::move(r));
            return true;
        }
        if (mode == Mode::Record) {
            std::string value;
            return element(depth + 1, Mode::Generic, childTag, &value, nullptr) && store(*record, childTag, value);
        }
        return element(depth + 1, Mode::Generic, childTag, text, nullptr);
    }

    // Text up to the next markup, references resolved.
    bool characters(std::string* text) {
        std::string ignored;
        std::string& out = text ? *text : ignored;
        const uint8_t* start = p_;
        while (p_ < end_ && *p_ != '<') {
            if (*p_ == '&') {
                if (text) out.append(start, p_);
                if (!reference(out)) return false;
                start = p_;
            } else {
                ++p_;
            }
        }
        if (text) out.append(start, p_);
        return true;
    }

    // Names are compared exactly; other names are ignored.
    static bool store(VNTSkeoEvent& record, const std::string& tag, const std::string& value) {
        std::wstring wide;
        if (!widen(value, wide)) return false;
        if (tag == "EventType")
            record.type = parseEventTypeText(wide);
        else if (tag == "EventFolder")
            record.folder = std::move(wide);
        else if (tag == "EventName")
            record.name = std::move(wide);
        else if (tag == "Resolution")
            record.resolution = std::move(wide);
        else if (tag == "PictureSize")
            record.pictureSize = std::move(wide);
        return true;
    }

    const uint8_t* p_;
    const uint8_t* end_;
    std::vector<VNTSkeoEvent>* records_ = nullptr;
    bool sawList_ = false;
};

}  // namespace

FastParse parseEventListFast(const uint8_t* data, size_t size, std::vector<VNTSkeoEvent>& records) {
    if (!data) return FastParse::NotHandled;
    std::vector<VNTSkeoEvent> read;
    try {
        FastReader reader(data, size);
        if (!reader.run(read) || !reader.sawEventList()) return FastParse::NotHandled;
    } catch (...) {
        return FastParse::NotHandled;
    }
    records = std::move(read);
    return FastParse::Parsed;
}

int32_t parseEventTypeText(const std::wstring& text) {
    const long long value = std::wcstoll(text.c_str(), nullptr, 10);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

}  // namespace eventxml
