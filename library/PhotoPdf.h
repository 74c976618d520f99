// Photos saved as one PDF file: a page per photo, each page the photo's JPEG bytes as they are.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace skeo {

struct PdfDocumentInfo {
    std::wstring title;    // e.g. the first photo's name without extension
    std::wstring creator;  // "Skeo 2.0.4.0"
    SYSTEMTIME created{};  // local time
    int utcOffsetMinutes = 0;  // local minus UTC, for the date's zone part
};

// Called after each page with (pages written, total); false cancels.
using PdfProgress = std::function<bool(size_t done, size_t total)>;

enum class PdfResult { Written, Cancelled, Failed };

struct PdfOutcome {
    PdfResult result = PdfResult::Failed;
    std::wstring photo;  // the photo that could not be read, when that was the failure
    DWORD error = 0;     // GetLastError() of the failing call, 0 when the photo was not a usable JPEG
};

// Writes the photos, in their order, as a PDF 1.4 file: each page the photo's size at 150 dots per
// inch. The file is made under a temporary name beside `target` and takes its name only once it is
// whole and on disk; on failure or cancel nothing is left and an existing `target` stays as it was.
// One photo is held in memory at a time.
PdfOutcome writePhotosPdf(const std::vector<std::wstring>& photos, const std::wstring& target,
                          const PdfDocumentInfo& info, const PdfProgress& progress = {});

}  // namespace skeo
