#include "ui/CVNTUI_Skeo_PhotoInfoStatic.h"

#include <cwchar>

#include "framework/Handles.h"

namespace {

const wchar_t kNoPictures[] = L"No Pictures";
const wchar_t kGap[] = L"    ";
constexpr size_t kLongName = 30;
constexpr size_t kNameKept = 26;

// Text widths in the parent's font, which the line is laid out against.
class TextMeasure {
public:
    explicit TextMeasure(HWND control) : parent_(GetParent(control)), dc_(control) {
        HFONT font = parent_ ? reinterpret_cast<HFONT>(SendMessageW(parent_, WM_GETFONT, 0, 0)) : nullptr;
        if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        previous_ = SelectObject(dc_.get(), font);
    }
    ~TextMeasure() { SelectObject(dc_.get(), previous_); }
    int width(const std::wstring& text) const {
        SIZE size{};
        GetTextExtentPoint32W(dc_.get(), text.c_str(), static_cast<int>(text.size()), &size);
        return size.cx;
    }

private:
    HWND parent_;
    vnt::WindowDC dc_;
    HGDIOBJ previous_ = nullptr;
};

}  // namespace

void CVNTUI_Skeo_PhotoInfoStatic::setName(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    fileName_ = slash == std::wstring::npos ? path : path.substr(slash + 1);
}

void CVNTUI_Skeo_PhotoInfoStatic::SetPhoto(const std::wstring& path, int width, int height) {
    setName(path);
    notice_.clear();
    wchar_t text[64];
    std::swprintf(text, 64, L"%dx%d", width, height);
    resolution_ = text;
    WIN32_FILE_ATTRIBUTE_DATA attributes;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes)) return;
    std::swprintf(text, 64, L"%d KB", static_cast<int>(attributes.nFileSizeLow / 1024));
    fileSize_ = text;
    date_ = FormatDate(attributes.ftCreationTime);
}

void CVNTUI_Skeo_PhotoInfoStatic::SetUnavailable(const std::wstring& path, const std::wstring& notice) {
    Clear();
    setName(path);
    notice_ = notice;
}

void CVNTUI_Skeo_PhotoInfoStatic::Clear() {
    fileName_.clear();
    date_.clear();
    resolution_.clear();
    fileSize_.clear();
    notice_.clear();
}

std::wstring CVNTUI_Skeo_PhotoInfoStatic::FormatDate(const FILETIME& utc) {
    SYSTEMTIME universal, local;
    if (!FileTimeToSystemTime(&utc, &universal)) return std::wstring();
    // The zone's rule of that day, so that a summer photo keeps its day in winter.
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) local = universal;
    wchar_t text[16];
    std::swprintf(text, 16, L"%.4d-%.2d-%.2d", local.wYear, local.wMonth, local.wDay);
    return text;
}

void CVNTUI_Skeo_PhotoInfoStatic::UpdateText() {
    if (!hwnd_) return;
    TextMeasure measure(hwnd_);
    gaps_[0] = gaps_[1] = gaps_[2] = 0;
    std::wstring text, tooltip;
    if (fileName_.empty()) {
        text = kNoPictures;
    } else {
        const std::wstring name =
            fileName_.size() >= kLongName ? fileName_.substr(0, kNameKept) + L"..." : fileName_;
        text = L" / " + name + kGap;
        gaps_[0] = measure.width(text);
        if (!notice_.empty()) {
            text += kGap + notice_;
            tooltip = L" / " + fileName_ + L"    |    " + notice_;
        } else {
            text += kGap + date_ + kGap;
            gaps_[1] = measure.width(text);
            text += kGap + resolution_ + kGap;
            gaps_[2] = measure.width(text);
            text += kGap + fileSize_;
            tooltip = L" / " + fileName_ + L"    |    " + date_ + L"    |    " + resolution_ + L"    |    " + fileSize_;
        }
    }
    textWidth_ = measure.width(text);
    SetWindowTextW(hwnd_, text.c_str());
    SetTooltip(tooltip);
    Invalidate();
}
