#include "toolkit/SkinResource.h"

#include "framework/Trace.h"
#include "framework/Window.h"
#include "toolkit/SkinScale.h"

namespace toolkit {

UINT SkinResourceId(UINT id, int dpi, const wchar_t* type, HMODULE module) {
    const UINT scaled = skinImageId(id, skinScaleForDpi(dpi));
    if (scaled == id) return id;
    if (!module) module = vnt::resourceModule();
    // Resource ids are 16 bits: a larger one would name another resource.
    if (scaled <= 0xFFFF && FindResourceW(module, MAKEINTRESOURCEW(scaled), type)) return scaled;
    vnt::trace(L"SkinResourceId: no image %u for %d DPI, image %u instead", scaled, dpi, id);
    return id;
}

HBITMAP LoadSkinBitmap(UINT id, int dpi, HMODULE module) {
    if (!module) module = vnt::resourceModule();
    const UINT resource = SkinResourceId(id, dpi, RT_BITMAP, module);
    return static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

}  // namespace toolkit
