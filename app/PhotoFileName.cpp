#include "app/PhotoFileName.h"

#include <cwchar>

namespace skeo {

std::wstring formatPhotoDate(int year, int month, int day) {
    wchar_t text[32];
    std::swprintf(text, sizeof text / sizeof text[0], L"%d-%.2d-%.2d", year, month, day);
    return text;
}

std::wstring formatPhotoPath(const std::wstring& folder, const std::wstring& prefix, long long serial) {
    wchar_t number[32];
    std::swprintf(number, sizeof number / sizeof number[0], L"%.4lld", serial);
    return folder + prefix + L"_" + number + L".jpg";
}

std::vector<std::wstring> folderLevels(const std::wstring& path) {
    std::vector<std::wstring> levels;
    for (size_t at = path.find(L'\\'); at != std::wstring::npos && at > 0; at = path.find(L'\\', at + 1))
        levels.push_back(path.substr(0, at + 1));
    return levels;
}

}  // namespace skeo
