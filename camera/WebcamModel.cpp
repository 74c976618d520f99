#include "camera/WebcamModel.h"

#include "camera/VantorUsbIds.h"

std::wstring lowerDevicePath(const std::wstring& path) {
    std::wstring lower = path;
    for (wchar_t& c : lower)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return lower;
}

WebcamModel classifyDevicePath(const std::wstring& devicePath) {
    const std::wstring path = lowerDevicePath(devicePath);
    if (path.find(vantor::kUsbVendorIdText) == std::wstring::npos) return WebcamModel::none;
    if (path.find(vantor::kUsbProductIdModelBText) != std::wstring::npos) return WebcamModel::skeoPlus;
    if (path.find(vantor::kUsbProductIdModelAText) != std::wstring::npos) return WebcamModel::skeo;
    return WebcamModel::none;
}

const wchar_t* defaultDisplayName(WebcamModel model) {
    switch (model) {
    case WebcamModel::skeo:
        return L"Skeo";
    case WebcamModel::skeoPlus:
        return L"Pello";
    default:
        return L"";
    }
}
