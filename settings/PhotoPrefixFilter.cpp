#include "settings/PhotoPrefixFilter.h"

namespace settings {

bool forbiddenInFileName(wchar_t c) {
    switch (c) {
    case L'\\':
    case L'/':
    case L'"':
    case L'?':
    case L'|':
    case L':':
    case L'<':
    case L'>':
    case L'*':
        return true;
    default:
        return false;
    }
}

bool removeFirstForbidden(std::wstring& text, size_t* at) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (forbiddenInFileName(text[i])) {
            text.erase(i, 1);
            if (at) *at = i;
            return true;
        }
    }
    return false;
}

}  // namespace settings
