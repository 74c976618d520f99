#include "library/PictureCodec.h"

#include <shlwapi.h>

#include "framework/ComPtr.h"
#include "framework/Handles.h"
#include "imagefx/FrameKernels.h"
#include "library/ImageScale.h"

using namespace Gdiplus;

namespace picture {

namespace {

// Larger files are not photos of ours; reading them whole would only waste memory.
constexpr ULONGLONG kMaxPhotoBytes = 256ull * 1024 * 1024;

vnt::ComPtr<IStream> streamOver(const Bytes& bytes) {
    vnt::ComPtr<IStream> stream;
    stream.attach(SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size())));
    return stream;
}

}  // namespace

std::unique_ptr<Bitmap> decode(const Bytes& bytes) {
    vnt::ComPtr<IStream> stream = streamOver(bytes);
    if (!stream) return nullptr;
    std::unique_ptr<Bitmap> bitmap(Bitmap::FromStream(stream.get()));
    if (!bitmap || bitmap->GetLastStatus() != Ok || bitmap->GetWidth() == 0 || bitmap->GetHeight() == 0)
        return nullptr;
    return bitmap;
}

bool readFileStart(const wchar_t* path, size_t limit, Bytes& bytes, bool& whole) {
    vnt::FileHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0 ||
        static_cast<ULONGLONG>(size.QuadPart) > kMaxPhotoBytes)
        return false;
    whole = static_cast<ULONGLONG>(size.QuadPart) <= limit;
    bytes.resize(whole ? static_cast<size_t>(size.QuadPart) : limit);
    DWORD read = 0;
    return ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
           read == bytes.size();
}

bool readFile(const wchar_t* path, Bytes& bytes) {
    bool whole = false;
    return readFileStart(path, static_cast<size_t>(kMaxPhotoBytes), bytes, whole);
}

namespace {

// Shrinks by our area average, far faster than the platform's filter (most of what a thumbnail of
// the strip cost); false when the pictures' pixels cannot be had.
bool shrinkInto(Bitmap& source, Bitmap& target) {
    const int sw = static_cast<int>(source.GetWidth()), sh = static_cast<int>(source.GetHeight());
    const int tw = static_cast<int>(target.GetWidth()), th = static_cast<int>(target.GetHeight());
    Rect from(0, 0, sw, sh), to(0, 0, tw, th);
    BitmapData in{}, out{};
    if (source.LockBits(&from, ImageLockModeRead, PixelFormat24bppRGB, &in) != Ok) return false;
    const bool locked = target.LockBits(&to, ImageLockModeWrite, PixelFormat24bppRGB, &out) == Ok;
    const bool done = locked && in.Stride > 0 && out.Stride > 0;
    if (done)
        skeo::downscaleBgr24(static_cast<const uint8_t*>(in.Scan0), sw, sh, in.Stride, static_cast<uint8_t*>(out.Scan0),
                             tw, th, out.Stride);
    if (locked) target.UnlockBits(&out);
    source.UnlockBits(&in);
    return done;
}

}  // namespace

std::unique_ptr<Bitmap> scaled(Image& source, int width, int height) {
    auto result = std::make_unique<Bitmap>(width, height, PixelFormat24bppRGB);
    if (result->GetLastStatus() != Ok) return nullptr;
    if (source.GetType() == ImageTypeBitmap && width <= static_cast<int>(source.GetWidth()) &&
        height <= static_cast<int>(source.GetHeight()) && shrinkInto(static_cast<Bitmap&>(source), *result))
        return result;
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

HBITMAP scaledDib(Bitmap& source, int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first, as GDI+ and our scaler lay rows out
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    vnt::BitmapHandle dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib || !bits) return nullptr;
    const int sw = static_cast<int>(source.GetWidth()), sh = static_cast<int>(source.GetHeight());
    bool done = false;
    const bool shrinking = width <= sw && height <= sh, enlarging = width >= sw && height >= sh;
    Rect all(0, 0, sw, sh);
    BitmapData data{};
    if ((shrinking || enlarging) && source.LockBits(&all, ImageLockModeRead, PixelFormat24bppRGB, &data) == Ok) {
        const auto* pixels = static_cast<const uint8_t*>(data.Scan0);
        if (shrinking) {
            // Our area average is sharper than the platform's filter and several times faster.
            skeo::downscaleBgr24(pixels, sw, sh, data.Stride, static_cast<uint8_t*>(bits), width, height,
                                 rowBytes(width));
            done = true;
        } else if (data.Stride > 0) {
            // Our bilinear scaler (the effects filter's) is many times faster than the platform's
            // filter, which held the window for a fifth of a second at the largest zoom.
            vantorfx::BilinearScaler scaler;
            done = scaler.prepare({sw, sh, data.Stride}, {0, 0, sw, sh}, {width, height, rowBytes(width)}, false,
                                  false) &&
                   scaler.scale(pixels, static_cast<size_t>(data.Stride) * static_cast<size_t>(sh),
                                static_cast<uint8_t*>(bits), static_cast<size_t>(rowBytes(width)) * height);
        }
        source.UnlockBits(&data);
    }
    if (!done) {
        Bitmap target(width, height, rowBytes(width), PixelFormat24bppRGB, static_cast<BYTE*>(bits));
        Graphics g(&target);
        g.SetInterpolationMode(InterpolationModeHighQualityBilinear);
        g.SetPixelOffsetMode(PixelOffsetModeHalf);
        ImageAttributes tile;
        tile.SetWrapMode(WrapModeTileFlipXY);
        if (g.DrawImage(&source, Rect(0, 0, width, height), 0, 0, sw, sh, UnitPixel, &tile) != Ok) return nullptr;
    }
    GdiFlush();
    return dib.release();
}

}  // namespace picture
