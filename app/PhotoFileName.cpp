#include "app/PhotoFileName.h"

#include <algorithm>
#include <cwctype>
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

namespace {

struct OwnPhotoName {
    std::wstring name, prefix, serial;  // prefix in lower case, serial without leading zeros
    size_t prefixLength = 0;
};

bool parseOwnPhotoName(const std::wstring& name, OwnPhotoName& parsed) {
    static const wchar_t kExtension[] = L".jpg";
    const size_t extension = 4;
    if (name.size() <= extension) return false;
    for (size_t i = 0; i < extension; ++i)
        if (static_cast<wchar_t>(std::towlower(name[name.size() - extension + i])) != kExtension[i]) return false;
    const size_t stemEnd = name.size() - extension;
    size_t digits = stemEnd;
    while (digits > 0 && name[digits - 1] >= L'0' && name[digits - 1] <= L'9') --digits;
    if (stemEnd - digits < 4 || digits < 1 || name[digits - 1] != L'_') return false;
    parsed.name = name;
    parsed.prefixLength = digits - 1;
    parsed.prefix = name.substr(0, digits - 1);
    for (wchar_t& c : parsed.prefix) c = static_cast<wchar_t>(std::towlower(c));
    size_t first = digits;
    while (first + 1 < stemEnd && name[first] == L'0') ++first;
    parsed.serial = name.substr(first, stemEnd - first);
    return true;
}

}  // namespace

std::vector<std::wstring> ownPhotosOldestFirst(const std::vector<std::wstring>& names) {
    std::vector<OwnPhotoName> photos;
    for (const std::wstring& name : names) {
        OwnPhotoName parsed;
        if (parseOwnPhotoName(name, parsed)) photos.push_back(std::move(parsed));
    }
    std::sort(photos.begin(), photos.end(), [](const OwnPhotoName& a, const OwnPhotoName& b) {
        if (a.prefix != b.prefix) return a.prefix < b.prefix;
        if (a.serial.size() != b.serial.size()) return a.serial.size() < b.serial.size();
        if (a.serial != b.serial) return a.serial < b.serial;
        return a.name < b.name;
    });
    std::vector<std::wstring> ordered;
    ordered.reserve(photos.size());
    for (OwnPhotoName& photo : photos) ordered.push_back(std::move(photo.name));
    return ordered;
}

bool splitOwnPhotoName(const std::wstring& name, std::wstring& prefix, long long& serial) {
    OwnPhotoName parsed;
    if (!parseOwnPhotoName(name, parsed) || parsed.serial.size() > 18) return false;
    prefix = name.substr(0, parsed.prefixLength);
    serial = std::stoll(parsed.serial);
    return true;
}

std::vector<std::wstring> folderLevels(const std::wstring& path) {
    std::vector<std::wstring> levels;
    for (size_t at = path.find(L'\\'); at != std::wstring::npos && at > 0; at = path.find(L'\\', at + 1))
        levels.push_back(path.substr(0, at + 1));
    return levels;
}

}  // namespace skeo
