// Texts handed to a window of this process through a message that any program on the desktop can
// send as well: the message carries a token this table gave out, never a pointer, so a number
// from elsewhere finds nothing instead of being read as memory.
#pragma once

#include <windows.h>

#include <map>
#include <mutex>
#include <string>

namespace vnt {

class TextTokens {
public:
    TextTokens();

    // A token for the text, never 0; good for one take.
    LPARAM put(std::wstring text);
    // The text of a token this table gave out and nobody took yet; false (and a trace line) for
    // anything else.
    bool take(LPARAM token, std::wstring& text);

private:
    std::mutex lock_;
    std::map<LPARAM, std::wstring> texts_;
    unsigned long next_;
};

}  // namespace vnt
