#include "framework/TextTokens.h"

#include "framework/Trace.h"

namespace vnt {

// Not starting from 1 keeps a stray small number from ever naming a text.
TextTokens::TextTokens() : next_((GetTickCount() ^ (GetCurrentProcessId() << 16)) | 0x10000u) {}

LPARAM TextTokens::put(std::wstring text) {
    std::lock_guard<std::mutex> guard(lock_);
    LPARAM token;
    do {
        token = static_cast<LPARAM>(next_++ & 0x7FFFFFFFu);
    } while (token == 0 || texts_.count(token));
    texts_[token] = std::move(text);
    return token;
}

bool TextTokens::take(LPARAM token, std::wstring& text) {
    std::lock_guard<std::mutex> guard(lock_);
    const auto found = texts_.find(token);
    if (found == texts_.end()) {
        trace(L"TextTokens: %lld is no text this program handed out", static_cast<long long>(token));
        return false;
    }
    text = std::move(found->second);
    texts_.erase(found);
    return true;
}

}  // namespace vnt
