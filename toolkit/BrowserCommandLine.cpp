#include "toolkit/BrowserCommandLine.h"

namespace toolkit {

std::wstring browserCommandLine(const std::wstring& openCommand, const std::wstring& url) {
    std::wstring command = openCommand;
    const size_t quoted = command.find(L"\"%1\"");
    if (quoted != std::wstring::npos) {
        command.resize(quoted);
    } else {
        const size_t bare = command.find(L"%1");
        if (bare != std::wstring::npos) command.resize(bare);
    }
    // The placeholder's own separator is kept; only a trailing one is folded into ours.
    while (!command.empty() && command.back() == L' ') command.pop_back();
    return command + L" " + url;
}

}  // namespace toolkit
