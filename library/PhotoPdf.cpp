#include "library/PhotoPdf.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "framework/Trace.h"
#include "library/JpegSize.h"
#include "library/PdfText.h"

namespace skeo {
namespace {

constexpr size_t kWriteChunk = 512 * 1024;
// Far beyond any photo the program takes; a larger file is not one of them.
constexpr ULONGLONG kMaxPhotoBytes = 256ull * 1024 * 1024;
// The file's identifier needs no whole photos: their start holds the time they were taken.
constexpr size_t kIdBytesPerPhoto = 4096;

// The catalog, the page tree and the document information are written last but numbered first, and
// each photo takes the next three numbers: every reference is known before what it names is written.
constexpr int kCatalog = 1, kPages = 2, kInfo = 3, kFirstPhotoObject = 4;
int imageObject(size_t photo) { return kFirstPhotoObject + 3 * static_cast<int>(photo); }
int contentObject(size_t photo) { return imageObject(photo) + 1; }
int pageObject(size_t photo) { return imageObject(photo) + 2; }
std::string ref(int object) { return std::to_string(object) + " 0 R"; }

unsigned count(size_t n) { return static_cast<unsigned>(n); }

// The temporary file, filled in few large writes whatever the file system.
class BufferedFile {
public:
    explicit BufferedFile(HANDLE file) : file_(file) { buffer_.reserve(kWriteChunk); }

    DWORD error() const { return error_; }

    bool write(const std::string& text) { return write(text.data(), text.size()); }

    bool write(const void* data, size_t size) {
        if (buffer_.size() + size > kWriteChunk && !flush()) return false;
        // A photo larger than the buffer goes out as it is.
        if (size >= kWriteChunk) return writeOut(data, size);
        const uint8_t* bytes = static_cast<const uint8_t*>(data);
        buffer_.insert(buffer_.end(), bytes, bytes + size);
        return true;
    }

    bool flush() {
        const bool ok = writeOut(buffer_.data(), buffer_.size());
        buffer_.clear();
        return ok;
    }

private:
    bool writeOut(const void* data, size_t size) {
        if (error_) return false;
        DWORD written = 0;
        if (size == 0 || (WriteFile(file_, data, static_cast<DWORD>(size), &written, nullptr) && written == size))
            return true;
        error_ = GetLastError();
        if (error_ == 0) error_ = ERROR_WRITE_FAULT;
        return false;
    }

    HANDLE file_;
    std::vector<uint8_t> buffer_;
    DWORD error_ = 0;
};

// Appends "n 0 obj" to text that starts at `base` in the file, keeping where object n begins.
void beginObject(std::vector<uint64_t>& offsets, int n, uint64_t base, std::string& text) {
    offsets[static_cast<size_t>(n)] = base + text.size();
    text += std::to_string(n) + " 0 obj\n";
}

// The photo's bytes; on false, `error` is the failing call's, or 0 for a file too large to be a photo.
bool readPhoto(const std::wstring& path, std::vector<uint8_t>& bytes, DWORD& error) {
    error = 0;
    vnt::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size{};
    if (!file || !GetFileSizeEx(file.get(), &size)) {
        error = GetLastError();
        return false;
    }
    if (static_cast<ULONGLONG>(size.QuadPart) > kMaxPhotoBytes) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        error = GetLastError();
        return false;
    }
    if (read != bytes.size()) {  // cut short while we read it
        error = ERROR_HANDLE_EOF;
        return false;
    }
    return true;
}

std::string infoDictionary(const PdfDocumentInfo& info) {
    std::string d = "<<";
    if (!info.title.empty()) d += " /Title " + pdfTextString(info.title);
    if (!info.creator.empty()) d += " /Creator " + pdfTextString(info.creator);
    d += " /Producer (Skeo)";
    const SYSTEMTIME& t = info.created;
    const std::string date = pdfDate({t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond}, info.utcOffsetMinutes);
    if (!date.empty()) d += " /CreationDate (" + date + ")";
    return d + " >>";
}

std::string pagesDictionary(size_t photos) {
    std::string d = "<< /Type /Pages /Kids [";
    for (size_t i = 0; i < photos; ++i) d += (i % 10 == 0 ? "\n" : " ") + ref(pageObject(i));
    return d + "\n] /Count " + std::to_string(photos) + " >>";
}

PdfOutcome failed(DWORD error, const std::wstring& photo = std::wstring()) {
    PdfOutcome outcome;
    outcome.result = PdfResult::Failed;
    outcome.error = error;
    outcome.photo = photo;
    return outcome;
}

PdfOutcome writeFailure(DWORD error) {
    vnt::trace(L"writePhotosPdf: cannot write the file (error %lu), no PDF written", static_cast<unsigned long>(error));
    return failed(error);
}

// Everything up to the file on disk under its temporary name.
PdfOutcome writeDocument(HANDLE file, const std::vector<std::wstring>& photos, const PdfDocumentInfo& info,
                         const PdfProgress& progress) {
    const size_t total = photos.size();
    BufferedFile out(file);
    std::vector<uint64_t> offsets(static_cast<size_t>(pageObject(total - 1)) + 1, 0);
    uint64_t offset = 0;
    PdfIdHash id;
    id.add(infoDictionary(info));

    std::vector<uint8_t> jpeg;
    // The binary comment tells transfer programs that the file is not text.
    std::string text = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    for (size_t i = 0; i < total; ++i) {
        const std::wstring& path = photos[i];
        DWORD error = 0;
        if (!readPhoto(path, jpeg, error)) {
            if (error)
                vnt::trace(L"writePhotosPdf: cannot read %ls (error %lu), no PDF written", path.c_str(),
                           static_cast<unsigned long>(error));
            else
                vnt::trace(L"writePhotosPdf: %ls is larger than any photo, no PDF written", path.c_str());
            return failed(error, path);
        }
        int width = 0, height = 0, components = 0;
        const bool sized = readJpegSize(jpeg.data(), jpeg.size(), width, height) &&
                           readJpegComponents(jpeg.data(), jpeg.size(), components);
        const std::string image = sized ? pdfJpegImageDictionary(width, height, components, jpeg.size()) : "";
        if (image.empty()) {
            vnt::trace(L"writePhotosPdf: %ls is no JPEG of 1, 3 or 4 components with a size (%u bytes), no PDF written",
                       path.c_str(), count(jpeg.size()));
            return failed(0, path);
        }
        id.add(path.data(), path.size() * sizeof(wchar_t));
        id.add(jpeg.data(), std::min(jpeg.size(), kIdBytesPerPhoto));
        id.add(std::to_string(jpeg.size()));

        beginObject(offsets, imageObject(i), offset, text);
        text += image + "\nstream\n";
        if (!out.write(text) || !out.write(jpeg.data(), jpeg.size())) return writeFailure(out.error());
        // The rest of the page goes out with the next page's start, or the file's end: `text` always
        // holds what is still to be written, and `offset` is where it will begin.
        const uint64_t after = offset + text.size() + jpeg.size();
        text = "\nendstream\nendobj\n";
        const std::string content = pdfPageContent(width, height);
        beginObject(offsets, contentObject(i), after, text);
        text += "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream\nendobj\n";
        beginObject(offsets, pageObject(i), after, text);
        text += "<< /Type /Page /Parent " + ref(kPages) + " /MediaBox [0 0 " + pdfNumber(pagePoints(width)) + " " +
                pdfNumber(pagePoints(height)) + "] /Resources << /XObject << /Im0 " + ref(imageObject(i)) +
                " >> >> /Contents " + ref(contentObject(i)) + " >>\nendobj\n";
        offset = after;
        if (offset + text.size() > kPdfMaxOffset) return writeFailure(ERROR_FILE_TOO_LARGE);
        if (progress && !progress(i + 1, total)) {
            vnt::trace(L"writePhotosPdf: cancelled after page %u of %u, no PDF written", count(i + 1), count(total));
            PdfOutcome cancelled;
            cancelled.result = PdfResult::Cancelled;
            return cancelled;
        }
    }

    beginObject(offsets, kPages, offset, text);
    text += pagesDictionary(total) + "\nendobj\n";
    beginObject(offsets, kCatalog, offset, text);
    text += "<< /Type /Catalog /Pages " + ref(kPages) + " >>\nendobj\n";
    beginObject(offsets, kInfo, offset, text);
    text += infoDictionary(info) + "\nendobj\n";
    const uint64_t xref = offset + text.size();
    text += "xref\n0 " + std::to_string(offsets.size()) + "\n" + pdfXrefFreeHead();
    for (size_t object = 1; object < offsets.size(); ++object) text += pdfXrefEntry(offsets[object]);
    const std::string fileId = id.hex();
    text += "trailer\n<< /Size " + std::to_string(offsets.size()) + " /Root " + ref(kCatalog) + " /Info " +
            ref(kInfo) + " /ID [" + fileId + fileId + "] >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    if (xref > kPdfMaxOffset) return writeFailure(ERROR_FILE_TOO_LARGE);
    if (!out.write(text) || !out.flush()) return writeFailure(out.error());
    if (!FlushFileBuffers(file)) return writeFailure(GetLastError());
    PdfOutcome written;
    written.result = PdfResult::Written;
    return written;
}

}  // namespace

PdfOutcome writePhotosPdf(const std::vector<std::wstring>& photos, const std::wstring& target,
                          const PdfDocumentInfo& info, const PdfProgress& progress) {
    if (photos.empty() || target.empty()) {
        vnt::trace(L"writePhotosPdf: no photos or no file name, no PDF written");
        return failed(0);
    }
    // Refused now rather than once every photo has been written: the platform will not replace either.
    const DWORD existing = GetFileAttributesW(target.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        vnt::trace(L"writePhotosPdf: %ls is a folder or read-only, no PDF written", target.c_str());
        return failed(ERROR_ACCESS_DENIED);
    }
    // Beside the target, so that taking its name is a rename within one volume.
    const std::wstring temporary = target + L".tmp";
    vnt::FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        vnt::trace(L"writePhotosPdf: cannot create %ls (error %lu), no PDF written", temporary.c_str(),
                   static_cast<unsigned long>(error));
        return failed(error);
    }
    PdfOutcome outcome = writeDocument(file.get(), photos, info, progress);
    file.reset();
    if (outcome.result == PdfResult::Written &&
        !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        outcome = failed(GetLastError());
        vnt::trace(L"writePhotosPdf: cannot replace %ls (error %lu), no PDF written", target.c_str(),
                   static_cast<unsigned long>(outcome.error));
    }
    if (outcome.result != PdfResult::Written) DeleteFileW(temporary.c_str());
    return outcome;
}

}  // namespace skeo
