// The command line that opens a web address with the browser registered for web pages, made from
// that browser's "open" command. No Windows header, so it is tested natively.
#pragma once

#include <string>

namespace toolkit {

// Cuts the command at its first quoted "%1" (dropping the opening quote too) or else at its first
// %1, then appends a space and the address.
std::wstring browserCommandLine(const std::wstring& openCommand, const std::wstring& url);

}  // namespace toolkit
