#include "app/StartupCommandLine.h"

#include <cwchar>

namespace skeo {

bool isStartAtLogOnCommandLine(const wchar_t* commandLine) {
    if (!commandLine) return false;
    const wchar_t* lastDash = std::wcsrchr(commandLine, L'-');
    // Without a dash the "text from the dash" is the whole line, which cannot be "-startup".
    const wchar_t* tail = lastDash ? lastDash : commandLine;
    return std::wcscmp(tail, L"-startup") == 0;
}

std::size_t copyBounded(wchar_t* destination, std::size_t capacity, const wchar_t* source) {
    if (!destination || capacity == 0) return 0;
    std::size_t n = 0;
    if (source) {
        while (n + 1 < capacity && source[n] != L'\0') {
            destination[n] = source[n];
            ++n;
        }
    }
    destination[n] = L'\0';
    return n;
}

}  // namespace skeo
