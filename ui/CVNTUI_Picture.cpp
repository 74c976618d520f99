#include "ui/CVNTUI_Picture.h"

#include "framework/Window.h"
#include "framework/Trace.h"
#include "library/PictureCodec.h"

int CVNTUI_Picture::Load(const std::wstring& fileName, bool skipIfSame) {
    if (GetFileAttributesW(fileName.c_str()) == INVALID_FILE_ATTRIBUTES) {
        ReleasePicture();
        return -1;
    }
    if (skipIfSame && hasPicture() && fileName == fileName_) return 0;
    ReleasePicture();
    picture::Bytes bytes;
    if (!picture::readFile(fileName.c_str(), bytes) || !decodeBytes(bytes)) {
        vnt::trace(L"CVNTUI_Picture: cannot load %ls", fileName.c_str());
        return -1;
    }
    fileName_ = fileName;
    return 1;
}

bool CVNTUI_Picture::LoadFromResource(UINT id, const wchar_t* type) {
    ReleasePicture();
    const HMODULE module = vnt::resourceModule();
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* data = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    if (!data) return false;
    return decodeBytes(picture::Bytes(data, data + SizeofResource(module, found)));
}

bool CVNTUI_Picture::RotateFlip(Gdiplus::RotateFlipType rotation) {
    if (!picture_ || picture_->RotateFlip(rotation) != Gdiplus::Ok) return false;
    width_ = static_cast<int>(picture_->GetWidth());
    height_ = static_cast<int>(picture_->GetHeight());
    return true;
}

void CVNTUI_Picture::Adopt(std::unique_ptr<Gdiplus::Bitmap> picture, const std::wstring& fileName) {
    ReleasePicture();
    if (!picture) return;
    width_ = static_cast<int>(picture->GetWidth());
    height_ = static_cast<int>(picture->GetHeight());
    picture_ = std::move(picture);
    fileName_ = fileName;
}

void CVNTUI_Picture::ReleasePicture() {
    picture_.reset();
    fileName_.clear();
    width_ = height_ = 0;
}

bool CVNTUI_Picture::decodeBytes(const std::vector<uint8_t>& bytes) {
    picture_ = picture::decode(bytes);
    if (!picture_) return false;
    width_ = static_cast<int>(picture_->GetWidth());
    height_ = static_cast<int>(picture_->GetHeight());
    return true;
}
