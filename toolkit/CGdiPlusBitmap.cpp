#include "toolkit/CGdiPlusBitmap.h"

#include <cstring>

#include "framework/Trace.h"
#include "framework/Window.h"
#include "toolkit/SkinResource.h"

CGdiPlusBitmap::~CGdiPlusBitmap() = default;

int CGdiPlusBitmap::width() const { return bitmap_ ? static_cast<int>(bitmap_->GetWidth()) : 0; }

int CGdiPlusBitmap::height() const { return bitmap_ ? static_cast<int>(bitmap_->GetHeight()) : 0; }

void CGdiPlusBitmap::draw(Gdiplus::Graphics& graphics, int x, int y) const {
    if (bitmap_) graphics.DrawImage(bitmap_.get(), x, y, width(), height());
}

void CGdiPlusBitmap::draw(HDC dc, int x, int y) const {
    if (!bitmap_ || !dc) return;
    Gdiplus::Graphics graphics(dc);
    draw(graphics, x, y);
}

void CGdiPlusBitmap::Empty() { bitmap_.reset(); }

CGdiPlusBitmapResource::~CGdiPlusBitmapResource() { CGdiPlusBitmapResource::Empty(); }

void CGdiPlusBitmapResource::Empty() {
    CGdiPlusBitmap::Empty();
    if (stream_) stream_->Release();
    stream_ = nullptr;
    if (block_) GlobalFree(block_);
    block_ = nullptr;
}

bool CGdiPlusBitmapResource::Load(UINT id, const wchar_t* type, HMODULE module) {
    Empty();
    if (!module) module = vnt::resourceModule();
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    const DWORD size = resource ? SizeofResource(module, resource) : 0;
    HGLOBAL loaded = size ? LoadResource(module, resource) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes) {
        vnt::trace(L"CGdiPlusBitmapResource: no image resource %u", id);
        return false;
    }
    block_ = GlobalAlloc(GMEM_MOVEABLE, size);
    void* target = block_ ? GlobalLock(block_) : nullptr;
    if (!target) {
        Empty();
        return false;
    }
    std::memcpy(target, bytes, size);
    GlobalUnlock(block_);
    if (FAILED(CreateStreamOnHGlobal(block_, FALSE, &stream_))) {
        stream_ = nullptr;
        Empty();
        return false;
    }
    bitmap_.reset(Gdiplus::Bitmap::FromStream(stream_));
    if (!bitmap_ || bitmap_->GetLastStatus() != Gdiplus::Ok) {
        vnt::trace(L"CGdiPlusBitmapResource: image resource %u cannot be decoded", id);
        Empty();
        return false;
    }
    return true;
}

void CGdiPlusBitmapResource::TakeFrom(CGdiPlusBitmapResource& other) {
    if (&other == this) return;
    Empty();
    bitmap_ = std::move(other.bitmap_);
    block_ = other.block_;
    stream_ = other.stream_;
    other.block_ = nullptr;
    other.stream_ = nullptr;
}

bool CGdiPlusBitmapResource::LoadForDpi(UINT id, int dpi, const wchar_t* type, HMODULE module) {
    return Load(toolkit::SkinResourceId(id, dpi, type, module), type, module);
}
