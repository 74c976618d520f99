#include "library/PhotoWriter.h"

#include <shlwapi.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/ComPtr.h"
#include "framework/Handles.h"
#include "framework/Trace.h"
#include "library/ExifSegment.h"
#include "library/JpegSize.h"

using namespace Gdiplus;

namespace {

constexpr ULONG kPhotoQuality = 99;
constexpr ULONG kThumbnailQuality = 85;
constexpr int kExifThumbLong = 160;
constexpr int kExifThumbShort = 120;
// Larger files are not photos of ours; reading them whole would only waste memory.
constexpr ULONGLONG kMaxPhotoBytes = 256ull * 1024 * 1024;

using Bytes = std::vector<uint8_t>;

bool readFile(const wchar_t* path, Bytes& bytes) {
    vnt::FileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 ||
        static_cast<ULONGLONG>(size.QuadPart) > kMaxPhotoBytes)
        return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    return ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
           read == bytes.size();
}

// Writes the whole file and flushes it to disk before it may replace anything.
bool writeNewFile(const std::wstring& path, const Bytes& bytes, DWORD disposition) {
    vnt::FileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size() && FlushFileBuffers(file.get());
    file.reset();
    if (!ok) DeleteFileW(path.c_str());
    return ok;
}

vnt::ComPtr<IStream> streamOver(const Bytes& bytes) {
    vnt::ComPtr<IStream> stream;
    stream.attach(SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size())));
    return stream;
}

std::unique_ptr<Bitmap> decode(const Bytes& bytes) {
    vnt::ComPtr<IStream> stream = streamOver(bytes);
    if (!stream) return nullptr;
    std::unique_ptr<Bitmap> bitmap(Bitmap::FromStream(stream.get()));
    if (!bitmap || bitmap->GetLastStatus() != Ok || bitmap->GetWidth() == 0 || bitmap->GetHeight() == 0)
        return nullptr;
    return bitmap;
}

bool encodeJpeg(Image& image, ULONG quality, Bytes& out) {
    CLSID jpeg;
    if (FindJpegEncoder(&jpeg) < 0) return false;
    vnt::ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()))) return false;
    EncoderParameters parameters;
    parameters.Count = 1;
    parameters.Parameter[0].Guid = EncoderQuality;
    parameters.Parameter[0].Type = EncoderParameterValueTypeLong;
    parameters.Parameter[0].NumberOfValues = 1;
    parameters.Parameter[0].Value = &quality;
    if (image.Save(stream.get(), &jpeg, &parameters) != Ok) return false;

    STATSTG stat{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) || stat.cbSize.QuadPart == 0 ||
        stat.cbSize.QuadPart > kMaxPhotoBytes)
        return false;
    out.resize(static_cast<size_t>(stat.cbSize.QuadPart));
    LARGE_INTEGER start{};
    ULONG read = 0;
    return SUCCEEDED(stream->Seek(start, STREAM_SEEK_SET, nullptr)) &&
           SUCCEEDED(stream->Read(out.data(), static_cast<ULONG>(out.size()), &read)) && read == out.size();
}

// A scaled copy of exactly width x height, drawn with good filtering.
std::unique_ptr<Bitmap> scaled(Image& source, int width, int height) {
    auto result = std::make_unique<Bitmap>(width, height, PixelFormat24bppRGB);
    if (result->GetLastStatus() != Ok) return nullptr;
    Graphics g(result.get());
    g.SetInterpolationMode(InterpolationModeHighQualityBicubic);
    g.SetPixelOffsetMode(PixelOffsetModeHalf);
    ImageAttributes tile;
    tile.SetWrapMode(WrapModeTileFlipXY);  // no dark seam along the edges
    if (g.DrawImage(&source, Rect(0, 0, width, height), 0, 0, static_cast<INT>(source.GetWidth()),
                    static_cast<INT>(source.GetHeight()), UnitPixel, &tile) != Ok)
        return nullptr;
    return result;
}

// The EXIF thumbnail: 160 x 120 for a landscape picture, 120 x 160 otherwise.
Bytes exifThumbnail(Image& picture) {
    const bool landscape = picture.GetWidth() > picture.GetHeight();
    std::unique_ptr<Bitmap> small = scaled(picture, landscape ? kExifThumbLong : kExifThumbShort,
                                           landscape ? kExifThumbShort : kExifThumbLong);
    Bytes jpeg;
    if (!small || !encodeJpeg(*small, kThumbnailQuality, jpeg)) jpeg.clear();
    return jpeg;
}

// The encoded picture with our EXIF segment in front; false when the picture cannot be encoded.
bool encodePhoto(Image& picture, const skeo::ExifFields& fields, Bytes& file) {
    Bytes jpeg;
    if (!encodeJpeg(picture, kPhotoQuality, jpeg)) return false;
    const Bytes app1 = skeo::buildExifApp1(fields, exifThumbnail(picture));
    return skeo::insertExifApp1(jpeg, app1, file);
}

std::string localExifTime() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return skeo::formatExifDateTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

}  // namespace

int FindJpegEncoder(CLSID* clsid) {
    UINT count = 0, bytes = 0;
    if (GetImageEncodersSize(&count, &bytes) != Ok || count == 0 || bytes == 0) return -1;
    std::vector<BYTE> buffer(bytes);
    auto* encoders = reinterpret_cast<ImageCodecInfo*>(buffer.data());
    if (GetImageEncoders(count, bytes, encoders) != Ok) return -1;
    for (UINT i = 0; i < count; ++i) {
        if (encoders[i].MimeType && std::wcscmp(encoders[i].MimeType, L"image/jpeg") == 0) {
            if (clsid) *clsid = encoders[i].Clsid;
            return static_cast<int>(i);
        }
    }
    return -1;
}

int WriteSnapshotJpeg(const BYTE* pixels, const wchar_t* path, int width, int height, int stride, const char* model,
                      float zoom, int mirror, int flip) {
    if (!pixels || !path || width <= 0 || height <= 0 || stride < width * 3) {
        vnt::trace(L"WriteSnapshotJpeg: refusing a frame of %d x %d, stride %d", width, height, stride);
        return 0;
    }
    // The frame belongs to the caller: wrap it only to read from it.
    Bitmap frame(width, height, stride, PixelFormat24bppRGB, const_cast<BYTE*>(pixels));
    if (frame.GetLastStatus() != Ok) return 0;

    // Zooming out has nothing to show beyond the frame: such a zoom stores the frame as it is.
    if (!std::isfinite(zoom) || zoom < 1.0f) zoom = 1.0f;
    std::unique_ptr<Bitmap> picture;
    if (zoom == 1.0f) {
        picture.reset(frame.Clone(0, 0, width, height, PixelFormat24bppRGB));
    } else {
        // The centre W x H of the frame scaled to SW x SH, drawn straight from the frame.
        const int sw = static_cast<int>(zoom * width);
        const int sh = static_cast<int>(zoom * height);
        const REAL left = static_cast<REAL>((sw - width) / 2) / zoom;
        const REAL top = static_cast<REAL>((sh - height) / 2) / zoom;
        picture = std::make_unique<Bitmap>(width, height, PixelFormat24bppRGB);
        Graphics g(picture.get());
        g.SetInterpolationMode(InterpolationModeHighQualityBilinear);
        g.SetPixelOffsetMode(PixelOffsetModeHalf);
        ImageAttributes clamp;
        clamp.SetWrapMode(WrapModeTileFlipXY);
        g.DrawImage(&frame, RectF(0, 0, static_cast<REAL>(width), static_cast<REAL>(height)), left, top,
                    width / zoom, height / zoom, UnitPixel, &clamp);
    }
    if (!picture || picture->GetLastStatus() != Ok) return 0;
    if (mirror) picture->RotateFlip(RotateNoneFlipX);
    if (flip) picture->RotateFlip(RotateNoneFlipY);

    skeo::ExifFields fields{"Vantor", model ? model : "", localExifTime()};
    Bytes file;
    if (!encodePhoto(*picture, fields, file) || !writeNewFile(path, file, CREATE_ALWAYS))
        vnt::trace(L"WriteSnapshotJpeg: cannot write %ls", path);
    return 0;
}

bool RotatePhotoFile(const wchar_t* path, RotateFlipType rotation) {
    Bytes original;
    if (!path || !readFile(path, original)) return false;
    std::unique_ptr<Bitmap> picture = decode(original);
    if (!picture || picture->RotateFlip(rotation) != Ok) {
        vnt::trace(L"RotatePhotoFile: cannot decode %ls, left as it was", path);
        return false;
    }

    // Carry the photo's own tags over; the thumbnail is made anew for the new orientation.
    skeo::ExifFields fields{"Vantor", "", localExifTime()};
    skeo::ExifInfo info;
    if (skeo::readExif(original.data(), original.size(), info)) {
        fields.make = info.make;
        fields.model = info.model;
        const auto& raw = info.dateTimeOriginalRaw;
        fields.dateTimeOriginal.assign(raw.begin(), std::find(raw.begin(), raw.end(), 0));
    }
    Bytes rotated;
    if (!encodePhoto(*picture, fields, rotated)) return false;

    // A name of our own beside the photo, never the photo's own name however long the path is.
    const std::wstring photo(path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring temporary = photo + L".rotate" + std::to_wstring(attempt) + L".tmp";
        if (!writeNewFile(temporary, rotated, CREATE_NEW)) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            return false;
        }
        if (MoveFileExW(temporary.c_str(), photo.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        DeleteFileW(temporary.c_str());
        return false;
    }
    return false;
}

Bitmap* LoadPhotoThumbnail(const wchar_t* path, int landscapeWidth, int height) {
    Bytes bytes;
    if (!path || landscapeWidth <= 0 || height <= 0 || !readFile(path, bytes)) return nullptr;
    int photoWidth = 0, photoHeight = 0;
    if (!skeo::readJpegSize(bytes.data(), bytes.size(), photoWidth, photoHeight)) {
        // Not a JPEG we can size from its header: decode it to learn its size.
        std::unique_ptr<Bitmap> whole = decode(bytes);
        if (!whole) return nullptr;
        photoWidth = static_cast<int>(whole->GetWidth());
        photoHeight = static_cast<int>(whole->GetHeight());
    }
    const int width = photoWidth > photoHeight ? landscapeWidth : 3 * height / 4;
    if (width <= 0) return nullptr;

    // The small picture the photo carries is enough for a thumbnail and far cheaper to decode.
    std::unique_ptr<Bitmap> source;
    size_t offset = 0, length = 0;
    if (skeo::findExifThumbnail(bytes.data(), bytes.size(), offset, length)) {
        source = decode(Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                              bytes.begin() + static_cast<std::ptrdiff_t>(offset + length)));
    }
    if (!source) source = decode(bytes);
    if (!source) return nullptr;
    return scaled(*source, width, height).release();
}
