// Formatting of trace lines, kept free of Windows headers so it is tested natively.
#pragma once

#include <string>

namespace vnt {

struct TraceTime {
    int year, month, day, hour, minute, second, millisecond;
};

// "[month/day/year - hour:minute:second:millisecond]" followed by the message and one newline.
// A message that already ends in a newline gets no second one.
std::wstring formatTraceLine(const TraceTime& when, const std::wstring& message);

// A platform text made fit for the middle of a trace line: each run of line breaks becomes one
// space and trailing blanks go.
std::wstring singleLine(const std::wstring& text);

// Appends one Unicode code point as UTF-8.
void appendUtf8(std::string& out, char32_t codePoint);

// UTF-16 to UTF-8; unpaired surrogates become U+FFFD so that a trace file is always valid UTF-8.
std::string toUtf8(const std::wstring& text);

}  // namespace vnt
