// Keeps a photo name prefix free of the characters file names cannot hold. No Windows header, so
// it is tested natively.
#pragma once

#include <cstddef>
#include <string>

namespace settings {

// True for \ / " ? | : < > *.
bool forbiddenInFileName(wchar_t c);

// Removes the first forbidden character; false when there was none. *at receives its index.
bool removeFirstForbidden(std::wstring& text, size_t* at = nullptr);

}  // namespace settings
