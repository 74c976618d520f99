// The image-file operations of the photo library: writing a snapshot as a JPEG file with EXIF tags,
// turning a stored photo by a quarter turn, and loading a small thumbnail of a photo.
#pragma once

#include "framework/Gdiplus.h"

// Writes a frame (24-bit BGR rows, top row first, `stride` bytes apart) as a JPEG file of quality 99:
// the centre of the picture zoomed by `zoom`, mirrored and then flipped as asked, with the EXIF tags
// Make "Vantor", Model and DateTimeOriginal and a small EXIF thumbnail. Always returns 0; a file that
// cannot be written is missing afterwards.
int WriteSnapshotJpeg(const BYTE* pixels, const wchar_t* path, int width, int height, int stride, const char* model,
                      float zoom, int mirror, int flip);
// The same, saying whether the file was written in full: what a caller needs that must not report a
// photo taken that is not there.
bool writeSnapshotJpegFile(const BYTE* pixels, const wchar_t* path, int width, int height, int stride,
                           const char* model, float zoom, int mirror, int flip);

// Turns a stored photo (Rotate90FlipNone or Rotate270FlipNone), keeping its EXIF tags. The photo
// is replaced only once the turned copy is written in full; on any failure it stays as it was.
bool RotatePhotoFile(const wchar_t* path, Gdiplus::RotateFlipType rotation);

// A thumbnail of exactly landscapeWidth x height for a landscape photo, or (3 x height / 4) x height
// for a portrait or square one; null when the file cannot be read. The caller owns the bitmap.
Gdiplus::Bitmap* LoadPhotoThumbnail(const wchar_t* path, int landscapeWidth, int height);

// Index of the JPEG encoder among the installed encoders, its class id written to `clsid`; -1 if none.
int FindJpegEncoder(CLSID* clsid);
