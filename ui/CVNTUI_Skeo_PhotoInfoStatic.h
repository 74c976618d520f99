// The line under the photo view: file name, date, picture size and file size of the shown photo,
// with the offsets of the gaps between them, where the main dialog draws its separators.
#pragma once

#include <windows.h>

#include <string>

#include "toolkit/CColorStatic.h"

class CVNTUI_Skeo_PhotoInfoStatic : public CColorStatic {
public:
    void SetFileName(const std::wstring& text) { fileName_ = text; }
    void SetDate(const std::wstring& text) { date_ = text; }
    void SetResolution(const std::wstring& text) { resolution_ = text; }
    void SetFileSize(const std::wstring& text) { fileSize_ = text; }

    // Fills every field for a photo file of the given picture size; the date and file size stay
    // as they were when the file's attributes cannot be read. Does not update the text.
    void SetPhoto(const std::wstring& path, int width, int height);
    // A photo whose file cannot be shown (gone or damaged): its name and the notice saying so, no
    // other field. Does not update the text.
    void SetUnavailable(const std::wstring& path, const std::wstring& notice);
    // The notice in another language, while it is shown.
    void SetNotice(const std::wstring& notice) { notice_ = notice; }
    // Empties every field ("No Pictures" after the next UpdateText).
    void Clear();

    // Composes and measures the shown text, sets the tooltip with the full name, repaints.
    void UpdateText();

    // The local calendar day of a file time, as "YYYY-MM-DD": the day the user took the photo.
    static std::wstring FormatDate(const FILETIME& utc);

    int gapOffset(int gap) const { return gap >= 0 && gap < 3 ? gaps_[gap] : 0; }
    int textWidth() const { return textWidth_; }
    const std::wstring& fileName() const { return fileName_; }
    const std::wstring& date() const { return date_; }
    const std::wstring& resolution() const { return resolution_; }
    const std::wstring& fileSize() const { return fileSize_; }
    // Empty unless the line tells of a photo that cannot be shown.
    const std::wstring& notice() const { return notice_; }

private:
    void setName(const std::wstring& path);

    std::wstring fileName_;
    std::wstring date_;
    std::wstring resolution_;
    std::wstring fileSize_;
    std::wstring notice_;
    int gaps_[3] = {0, 0, 0};
    int textWidth_ = 0;
};
