// Decoded skin images. CGdiPlusBitmapResource decodes a "PNG" resource of the program from a
// movable memory block it keeps: GDI+ reads a stream-backed bitmap lazily, so the bytes must stay.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/Gdiplus.h"

class CGdiPlusBitmap {
public:
    CGdiPlusBitmap() = default;
    virtual ~CGdiPlusBitmap();
    CGdiPlusBitmap(const CGdiPlusBitmap&) = delete;
    CGdiPlusBitmap& operator=(const CGdiPlusBitmap&) = delete;

    // The decoded image; null when empty.
    Gdiplus::Bitmap* bitmap() const { return bitmap_.get(); }
    bool empty() const { return !bitmap_; }
    int width() const;
    int height() const;

    // Draws the image unscaled with its top-left corner at (x, y); an empty holder draws nothing.
    void draw(Gdiplus::Graphics& graphics, int x, int y) const;
    void draw(HDC dc, int x, int y) const;

    virtual void Empty();

protected:
    std::unique_ptr<Gdiplus::Bitmap> bitmap_;
};

class CGdiPlusBitmapResource : public CGdiPlusBitmap {
public:
    CGdiPlusBitmapResource() = default;
    ~CGdiPlusBitmapResource() override;

    // Resource of type "PNG" (or the given type) in the program's resources; false leaves the holder empty.
    bool Load(UINT id, const wchar_t* type = L"PNG", HMODULE module = nullptr);
    // The image of id's set nearest to dpi, or id's own where that set lacks it (see SkinResource.h).
    bool LoadForDpi(UINT id, int dpi, const wchar_t* type = L"PNG", HMODULE module = nullptr);
    // Takes over what `other` holds (which is left empty), dropping what this one held.
    void TakeFrom(CGdiPlusBitmapResource& other);
    void Empty() override;

private:
    HGLOBAL block_ = nullptr;
    IStream* stream_ = nullptr;
};
