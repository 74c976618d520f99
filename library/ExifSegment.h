// EXIF tags written and read by the program itself: under Wine the platform's JPEG encoder drops
// property items, so the encoded JPEG gets an APP1 "Exif" segment inserted after the fact.
// Free of Windows headers so it is tested natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace skeo {

struct ExifFields {
    std::string make;
    std::string model;
    std::string dateTimeOriginal;  // "YYYY:MM:DD HH:MM:SS"
};

// "%.4d:%.2d:%.2d %.2d:%.2d:%.2d".
std::string formatExifDateTime(int year, int month, int day, int hour, int minute, int second);

// A complete APP1 segment, marker included: Make and Model in IFD0, DateTimeOriginal in the Exif IFD
// as 32 bytes (the text, NUL-filled; photos have always carried 32), each only when not empty, and IFD1 with the thumbnail when
// the thumbnail is not empty and fits in the segment (otherwise the segment goes without it).
// Empty when there is no tag or the tags alone do not fit in one segment.
std::vector<uint8_t> buildExifApp1(const ExifFields& fields, const std::vector<uint8_t>& thumbnailJpeg);

// out = SOI + app1 + the rest of jpeg without any APP1 "Exif" segment of its own, so the tags never
// appear twice. False, out untouched, when jpeg is not a JPEG or its headers break off before SOS.
bool insertExifApp1(const std::vector<uint8_t>& jpeg, const std::vector<uint8_t>& app1, std::vector<uint8_t>& out);

struct ExifInfo {
    std::string make, model;                   // up to the first NUL
    std::vector<uint8_t> dateTimeOriginalRaw;  // all count bytes as stored
    uint32_t makeCount = 0, modelCount = 0, dateTimeOriginalCount = 0;
    size_t thumbnailOffset = 0, thumbnailLength = 0;  // into the whole file; 0 when there is none
};

// Reads the first APP1 "Exif" segment before SOS, in either byte order. False when there is none or
// its IFD0 cannot be read; a broken Exif IFD or IFD1, or a tag whose value lies outside the segment,
// just leaves the matching fields empty.
bool readExif(const uint8_t* data, size_t size, ExifInfo& info);

// The IFD1 JPEG thumbnail, when it lies wholly inside the file and starts with SOI.
bool findExifThumbnail(const uint8_t* data, size_t size, size_t& offset, size_t& length);

// The file's first APP1 "Exif" segment, marker included, or empty: carries the tags over when a photo
// is re-encoded.
std::vector<uint8_t> extractExifApp1(const uint8_t* data, size_t size);

}  // namespace skeo
