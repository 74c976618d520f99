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
#include "framework/MemoryStream.h"
#include "framework/Trace.h"
#include "library/ExifSegment.h"
#include "library/ImageScale.h"
#include "library/JpegSegments.h"
#include "library/JpegSize.h"
#include "library/PictureCodec.h"

using namespace Gdiplus;

namespace {

constexpr ULONG kPhotoQuality = 99;
constexpr ULONG kThumbnailQuality = 85;
constexpr int kExifThumbLong = 160;
constexpr int kExifThumbShort = 120;

using picture::Bytes;
using picture::decode;
using picture::readFile;
using picture::readFileStart;
using picture::rowBytes;
using picture::scaled;

// Writes the whole file; a file that is to replace another is flushed to disk first.
bool writeNewFile(const std::wstring& path, const Bytes& bytes, DWORD disposition, bool flush) {
    vnt::FileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    const bool ok = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size() && (!flush || FlushFileBuffers(file.get()));
    file.reset();
    if (!ok) DeleteFileW(path.c_str());
    return ok;
}

bool encodeJpeg(Image& image, ULONG quality, Bytes& out) {
    CLSID jpeg;
    if (FindJpegEncoder(&jpeg) < 0) return false;
    vnt::ComPtr<vnt::MemoryStream> stream;
    stream.attach(vnt::MemoryStream::create(image.GetWidth() * image.GetHeight() / 2));
    if (!stream) return false;
    EncoderParameters parameters;
    parameters.Count = 1;
    parameters.Parameter[0].Guid = EncoderQuality;
    parameters.Parameter[0].Type = EncoderParameterValueTypeLong;
    parameters.Parameter[0].NumberOfValues = 1;
    parameters.Parameter[0].Value = &quality;
    if (image.Save(stream.get(), &jpeg, &parameters) != Ok || stream->bytes().empty()) return false;
    out = stream->bytes();
    return true;
}

// A scaled copy of exactly width x height, drawn with good filtering.

// The EXIF thumbnail of a picture given by its pixels (24-bit, top row first): 160 x 120 for a
// landscape picture, 120 x 160 otherwise, turned like the photo. Shrunk by our own area average,
// far cheaper than a filtered draw of the whole picture.
Bytes exifThumbnail(const BYTE* pixels, int w, int h, int stride, RotateFlipType turn) {
    const bool landscape = w > h;
    const int tw = landscape ? kExifThumbLong : kExifThumbShort;
    const int th = landscape ? kExifThumbShort : kExifThumbLong;
    std::vector<BYTE> buffer(static_cast<size_t>(rowBytes(tw)) * th);
    skeo::downscaleBgr24(pixels, w, h, stride, buffer.data(), tw, th, rowBytes(tw));
    Bitmap small(tw, th, rowBytes(tw), PixelFormat24bppRGB, buffer.data());
    if (turn != RotateNoneFlipNone) small.RotateFlip(turn);
    Bytes jpeg;
    if (!encodeJpeg(small, kThumbnailQuality, jpeg)) jpeg.clear();
    return jpeg;
}

// The same for a decoded picture, read through its locked pixels.
Bytes exifThumbnail(Bitmap& picture) {
    const int w = static_cast<int>(picture.GetWidth()), h = static_cast<int>(picture.GetHeight());
    Rect all(0, 0, w, h);
    BitmapData data{};
    if (picture.LockBits(&all, ImageLockModeRead, PixelFormat24bppRGB, &data) != Ok) return Bytes();
    Bytes jpeg = exifThumbnail(static_cast<const BYTE*>(data.Scan0), w, h, data.Stride, RotateNoneFlipNone);
    picture.UnlockBits(&data);
    return jpeg;
}

// The encoded picture with our EXIF segment in front; false when the picture cannot be encoded.
bool encodePhoto(Image& picture, const skeo::ExifFields& fields, const Bytes& thumbnail, Bytes& file) {
    Bytes jpeg;
    if (!encodeJpeg(picture, kPhotoQuality, jpeg)) return false;
    return skeo::insertExifApp1(jpeg, skeo::buildExifApp1(fields, thumbnail), file);
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

bool writeSnapshotJpegFile(const BYTE* pixels, const wchar_t* path, int width, int height, int stride, const char* model,
                           float zoom, int mirror, int flip) {
    if (!pixels || !path || width <= 0 || height <= 0 || stride < width * 3) {
        vnt::trace(L"WriteSnapshotJpeg: refusing a frame of %d x %d, stride %d", width, height, stride);
        return false;
    }
    // The frame belongs to the caller: wrap it only to read from it.
    Bitmap frame(width, height, stride, PixelFormat24bppRGB, const_cast<BYTE*>(pixels));
    if (frame.GetLastStatus() != Ok) return false;

    // The picture to store, before its turn: the frame itself, or the zoomed centre in a buffer of ours.
    Image* picture = &frame;
    const BYTE* raw = pixels;
    int rawStride = stride;
    std::vector<BYTE> zoomed;
    std::unique_ptr<Bitmap> owned;

    // Zooming out has nothing to show beyond the frame: such a zoom stores the frame as it is.
    if (!std::isfinite(zoom) || zoom < 1.0f) zoom = 1.0f;
    if (zoom != 1.0f) {
        // The centre W x H of the frame scaled to SW x SH, drawn straight from the frame.
        const int sw = static_cast<int>(zoom * width);
        const int sh = static_cast<int>(zoom * height);
        const REAL left = static_cast<REAL>((sw - width) / 2) / zoom;
        const REAL top = static_cast<REAL>((sh - height) / 2) / zoom;
        zoomed.resize(static_cast<size_t>(rowBytes(width)) * height);
        owned = std::make_unique<Bitmap>(width, height, rowBytes(width), PixelFormat24bppRGB, zoomed.data());
        Graphics g(owned.get());
        g.SetInterpolationMode(InterpolationModeHighQualityBilinear);
        g.SetPixelOffsetMode(PixelOffsetModeHalf);
        ImageAttributes clamp;
        clamp.SetWrapMode(WrapModeTileFlipXY);
        g.DrawImage(&frame, RectF(0, 0, static_cast<REAL>(width), static_cast<REAL>(height)), left, top,
                    width / zoom, height / zoom, UnitPixel, &clamp);
        picture = owned.get();
        raw = zoomed.data();
        rawStride = rowBytes(width);
    }

    // Mirror, then vertical flip: together a half turn.
    const RotateFlipType turn = mirror && flip ? RotateNoneFlipXY
                                : mirror       ? RotateNoneFlipX
                                : flip         ? RotateNoneFlipY
                                               : RotateNoneFlipNone;
    const Bytes thumbnail = exifThumbnail(raw, width, height, rawStride, turn);
    if (turn != RotateNoneFlipNone) {
        if (!owned) owned.reset(frame.Clone(0, 0, width, height, PixelFormat24bppRGB));
        if (!owned || owned->RotateFlip(turn) != Ok) return false;
        picture = owned.get();
    }

    skeo::ExifFields fields{"Vantor", model ? model : "", localExifTime()};
    Bytes file;
    // A file that appeared under the photo's name since it was chosen is never replaced.
    if (!encodePhoto(*picture, fields, thumbnail, file) || !writeNewFile(path, file, CREATE_NEW, false)) {
        vnt::trace(L"WriteSnapshotJpeg: cannot write %ls", path);
        return false;
    }
    return true;
}

int WriteSnapshotJpeg(const BYTE* pixels, const wchar_t* path, int width, int height, int stride, const char* model,
                      float zoom, int mirror, int flip) {
    writeSnapshotJpegFile(pixels, path, width, height, stride, model, zoom, mirror, flip);
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

    // Carry the photo's own tags over, and only those: a photo without them gets none made up. The
    // thumbnail is made anew for the new orientation.
    skeo::ExifFields fields;
    skeo::ExifInfo info;
    if (skeo::readExif(original.data(), original.size(), info)) {
        fields.make = info.make;
        fields.model = info.model;
        const auto& raw = info.dateTimeOriginalRaw;
        fields.dateTimeOriginal.assign(raw.begin(), std::find(raw.begin(), raw.end(), 0));
    }
    Bytes rotated;
    if (!encodePhoto(*picture, fields, exifThumbnail(*picture), rotated)) return false;

    // A name of our own beside the photo, never the photo's own name however long the path is.
    const std::wstring photo(path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::wstring temporary = photo + L".rotate" + std::to_wstring(attempt) + L".tmp";
        if (!writeNewFile(temporary, rotated, CREATE_NEW, true)) {
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

namespace {

// The width of a thumbnail of that height for a photo of that size: landscape or upright.
int thumbnailWidth(int photoWidth, int photoHeight, int landscapeWidth, int height) {
    return photoWidth > photoHeight ? landscapeWidth : 3 * height / 4;
}

// The small picture the photo carries, at the asked size: far cheaper to decode than the photo,
// but only used when the asked size fits inside it, never blown up. Null otherwise.
std::unique_ptr<Bitmap> carriedThumbnail(const Bytes& bytes, int width, int height) {
    size_t offset = 0, length = 0;
    if (!skeo::findExifThumbnail(bytes.data(), bytes.size(), offset, length)) return nullptr;
    std::unique_ptr<Bitmap> source = decode(Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                                                  bytes.begin() + static_cast<std::ptrdiff_t>(offset + length)));
    if (!source || static_cast<int>(source->GetWidth()) < width || static_cast<int>(source->GetHeight()) < height)
        return nullptr;
    return scaled(*source, width, height);
}

// The header, with the photo's size and its small picture, comes first: a thumbnail mostly needs
// no more of a photo of megabytes than this.
constexpr size_t kThumbnailLookahead = 128 * 1024;

}  // namespace

Bitmap* LoadPhotoThumbnail(const wchar_t* path, int landscapeWidth, int height) {
    Bytes bytes;
    bool whole = false;
    if (!path || landscapeWidth <= 0 || height <= 0 || !readFileStart(path, kThumbnailLookahead, bytes, whole))
        return nullptr;
    int photoWidth = 0, photoHeight = 0;
    if (!whole) {
        if (skeo::readJpegSize(bytes.data(), bytes.size(), photoWidth, photoHeight)) {
            const int width = thumbnailWidth(photoWidth, photoHeight, landscapeWidth, height);
            if (width > 0)
                if (std::unique_ptr<Bitmap> made = carriedThumbnail(bytes, width, height)) return made.release();
        } else if (skeo::jpegHeadersBroken(bytes.data(), bytes.size())) {
            // The rest of a large file cannot mend headers broken in its start: not read for nothing.
            return nullptr;
        }
        if (!readFile(path, bytes)) return nullptr;
    }
    if (!skeo::readJpegSize(bytes.data(), bytes.size(), photoWidth, photoHeight)) {
        // Not a JPEG we can size from its header: decode it to learn its size.
        std::unique_ptr<Bitmap> decoded = decode(bytes);
        if (!decoded) return nullptr;
        photoWidth = static_cast<int>(decoded->GetWidth());
        photoHeight = static_cast<int>(decoded->GetHeight());
    }
    const int width = thumbnailWidth(photoWidth, photoHeight, landscapeWidth, height);
    if (width <= 0) return nullptr;
    if (std::unique_ptr<Bitmap> made = carriedThumbnail(bytes, width, height)) return made.release();
    std::unique_ptr<Bitmap> source = decode(bytes);
    if (!source) return nullptr;
    return scaled(*source, width, height).release();
}
