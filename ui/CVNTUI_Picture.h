// A decoded picture held by a window object: loaded from a file, read whole first, or from the
// program's resources.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/Gdiplus.h"

class CVNTUI_Picture {
public:
    CVNTUI_Picture() = default;
    virtual ~CVNTUI_Picture() = default;
    CVNTUI_Picture(const CVNTUI_Picture&) = delete;
    CVNTUI_Picture& operator=(const CVNTUI_Picture&) = delete;

    // 1 when loaded; 0 when skipIfSame is set and that very name is loaded already; -1 when the
    // file is missing, unreadable or no picture, which leaves no picture loaded.
    virtual int Load(const std::wstring& fileName, bool skipIfSame);
    virtual bool LoadFromResource(UINT id, const wchar_t* type);
    // Turns or flips the loaded picture in memory; false when there is none or it cannot be done.
    bool RotateFlip(Gdiplus::RotateFlipType rotation);
    // Takes a picture decoded elsewhere as the one loaded from `fileName`.
    void Adopt(std::unique_ptr<Gdiplus::Bitmap> picture, const std::wstring& fileName);
    virtual void ReleasePicture();

    bool hasPicture() const { return picture_ != nullptr; }
    Gdiplus::Bitmap* picture() const { return picture_.get(); }
    // The file of the loaded picture; empty when none is loaded.
    virtual const std::wstring& pictureFileName() const { return fileName_; }
    int pictureWidth() const { return width_; }
    int pictureHeight() const { return height_; }

private:
    bool decodeBytes(const std::vector<uint8_t>& bytes);

    std::unique_ptr<Gdiplus::Bitmap> picture_;
    std::wstring fileName_;
    int width_ = 0;
    int height_ = 0;
};
