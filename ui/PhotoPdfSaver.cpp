#include "ui/PhotoPdfSaver.h"

#include <commdlg.h>
#include <shlobj.h>

#include "app/VNTLanguageSelector.h"
#include "framework/ComPtr.h"
#include "framework/Trace.h"
#include "library/PhotoPdf.h"
#include "resources/StringIds.h"
#include "resources/resource.h"

namespace {

std::wstring text(UINT id, const wchar_t* fallback) {
    std::wstring value;
    if (!VNTLanguageSelector::instance().loadString(id, value)) value = fallback;
    return value;
}

std::wstring fileNameOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring withoutExtension(const std::wstring& name) {
    const size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos || dot == 0 ? name : name.substr(0, dot);
}

// Local time and its distance from UTC now, for the document's creation date.
skeo::PdfDocumentInfo documentInfo(const std::wstring& target) {
    skeo::PdfDocumentInfo info;
    info.title = withoutExtension(fileNameOf(target));
    info.creator = L"Skeo " SKEO_VERSION_TEXT;
    FILETIME utc, local;
    GetSystemTimeAsFileTime(&utc);
    FileTimeToLocalFileTime(&utc, &local);
    FileTimeToSystemTime(&local, &info.created);
    const auto ticks = [](const FILETIME& t) {
        return static_cast<long long>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
    };
    info.utcOffsetMinutes = static_cast<int>((ticks(local) - ticks(utc)) / (10000000LL * 60));
    return info;
}

std::wstring systemMessage(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring message = length && buffer ? std::wstring(buffer, length) : std::wstring();
    if (buffer) LocalFree(buffer);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    return message;
}

// The system's progress dialog runs on a thread of its own, so it answers while the file is written.
class Progress {
public:
    Progress(HWND owner, size_t total) {
        if (total < PhotoPdfSaver::kProgressFrom) return;
        if (FAILED(CoCreateInstance(CLSID_ProgressDialog, nullptr, CLSCTX_INPROC_SERVER, IID_IProgressDialog,
                                    dialog_.putVoid()))) {
            vnt::trace(L"PhotoPdfSaver: no progress dialog; writing without one");
            return;
        }
        dialog_->SetTitle(L"Skeo");
        dialog_->SetLine(1, text(IDS_PDF_SAVING, L"Saving the photos as PDF...").c_str(), FALSE, nullptr);
        if (FAILED(dialog_->StartProgressDialog(owner, nullptr, PROGDLG_MODAL | PROGDLG_NOMINIMIZE | PROGDLG_AUTOTIME,
                                                nullptr))) {
            vnt::trace(L"PhotoPdfSaver: the progress dialog did not start; writing without one");
            dialog_.reset();
            return;
        }
        vnt::trace(L"PhotoPdfSaver: progress dialog started for %u photos", static_cast<unsigned>(total));
    }
    ~Progress() {
        if (dialog_) dialog_->StopProgressDialog();
    }
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    bool step(size_t done, size_t total) {
        if (!dialog_) return true;
        dialog_->SetProgress64(done, total);
        return !dialog_->HasUserCancelled();
    }

private:
    vnt::ComPtr<IProgressDialog> dialog_;
};

}  // namespace

std::wstring PhotoPdfSaver::defaultName(const std::wstring& firstPhoto) {
    const std::wstring stem = withoutExtension(fileNameOf(firstPhoto));
    return (stem.empty() ? std::wstring(L"Photos") : stem) + L".pdf";
}

bool PhotoPdfSaver::save(HWND owner, const std::vector<std::wstring>& photos, const std::wstring& libraryFolder) {
    if (photos.empty()) return false;
    wchar_t file[MAX_PATH] = {};
    lstrcpynW(file, defaultName(photos.front()).c_str(), MAX_PATH);
    // "PDF (*.pdf)" and its pattern, each ending in a null, the list in two.
    std::wstring filter = text(IDS_PDF_FILTER, L"PDF files (*.pdf)");
    filter.push_back(L'\0');
    filter += L"*.pdf";
    filter.push_back(L'\0');
    filter.push_back(L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrInitialDir = libraryFolder.empty() ? nullptr : libraryFolder.c_str();
    dialog.lpstrDefExt = L"pdf";
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!GetSaveFileNameW(&dialog)) {
        if (const DWORD error = CommDlgExtendedError()) vnt::trace(L"PhotoPdfSaver: save dialog failed (%lu)", error);
        return false;
    }
    return write(owner, photos, file);
}

bool PhotoPdfSaver::write(HWND owner, const std::vector<std::wstring>& photos, const std::wstring& target) {
    skeo::PdfOutcome outcome;
    {
        Progress progress(owner, photos.size());
        HCURSOR before = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        outcome = skeo::writePhotosPdf(photos, target, documentInfo(target),
                                       [&](size_t done, size_t total) { return progress.step(done, total); });
        SetCursor(before);
    }
    if (outcome.result == skeo::PdfResult::Written) {
        vnt::trace(L"PhotoPdfSaver: %u photos saved as %ls", static_cast<unsigned>(photos.size()), target.c_str());
        return true;
    }
    if (outcome.result == skeo::PdfResult::Cancelled) return false;
    std::wstring message = text(IDS_PDF_FAILED, L"The PDF file could not be saved.") + L"\n\n" + target;
    if (!outcome.photo.empty()) message += L"\n" + outcome.photo;
    if (outcome.error) message += L"\n" + systemMessage(outcome.error);
    MessageBoxW(owner, message.c_str(), L"Skeo", MB_OK | MB_ICONERROR);
    return false;
}
