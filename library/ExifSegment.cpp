#include "library/ExifSegment.h"

#include "library/JpegSegments.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace skeo {
namespace {

constexpr uint8_t kApp1 = 0xE1;
constexpr uint8_t kExifHeader[6] = {'E', 'x', 'i', 'f', 0, 0};
constexpr size_t kTiffStart = 2 + 2 + sizeof kExifHeader;  // marker, length, header
// The length field counts itself and the header but not the marker.
constexpr size_t kMaxTiffSize = 0xFFFF - 2 - sizeof kExifHeader;
constexpr size_t kDateTimeCount = 32;
// Far above any real directory; bounds the work a hostile count can cause.
constexpr uint16_t kMaxIfdEntries = 1024;

enum Tag : uint16_t {
    kTagCompression = 0x0103,
    kTagMake = 0x010F,
    kTagModel = 0x0110,
    kTagXResolution = 0x011A,
    kTagYResolution = 0x011B,
    kTagResolutionUnit = 0x0128,
    kTagJpegOffset = 0x0201,
    kTagJpegLength = 0x0202,
    kTagExifIfd = 0x8769,
    kTagDateTimeOriginal = 0x9003,
};

enum Type : uint16_t { kTypeAscii = 2, kTypeShort = 3, kTypeLong = 4, kTypeRational = 5 };

size_t typeSize(uint16_t type) {
    static const uint8_t sizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
    return type < sizeof sizes ? sizes[type] : 0;
}

bool isExifSegment(const uint8_t* data, const JpegSegment& seg) {
    return seg.marker == kApp1 && seg.size >= kTiffStart &&
           std::memcmp(data + seg.offset + 4, kExifHeader, sizeof kExifHeader) == 0;
}

bool findExifSegment(const uint8_t* data, size_t size, JpegSegment& exif) {
    bool found = false;
    walkJpegSegments(data, size, [&](const JpegSegment& seg) {
        found = isExifSegment(data, seg);
        if (found) exif = seg;
        return !found;
    });
    return found;
}

// ---- Writing TIFF structures (little-endian)

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

struct OutEntry {
    uint16_t tag;
    uint16_t type;
    uint32_t count;
    std::vector<uint8_t> value;  // count values, already in byte order
};

OutEntry asciiEntry(uint16_t tag, const std::string& text, size_t count) {
    std::vector<uint8_t> value(count, 0);
    std::copy_n(text.begin(), std::min(text.size(), count - 1), value.begin());  // keeps a NUL at the end
    return {tag, kTypeAscii, uint32_t(count), std::move(value)};
}

OutEntry shortEntry(uint16_t tag, uint16_t v) {
    OutEntry entry{tag, kTypeShort, 1, {}};
    put16(entry.value, v);
    return entry;
}

OutEntry longEntry(uint16_t tag, uint32_t v) {
    OutEntry entry{tag, kTypeLong, 1, {}};
    put32(entry.value, v);
    return entry;
}

OutEntry rationalEntry(uint16_t tag, uint32_t numerator, uint32_t denominator) {
    OutEntry entry{tag, kTypeRational, 1, {}};
    put32(entry.value, numerator);
    put32(entry.value, denominator);
    return entry;
}

size_t evenSize(size_t n) { return n + (n & 1); }

bool isInline(const OutEntry& entry) { return entry.value.size() <= 4; }

// The directory followed by the values too large to sit in their entries.
size_t ifdSize(const std::vector<OutEntry>& entries) {
    size_t size = 2 + 12 * entries.size() + 4;
    for (const OutEntry& entry : entries)
        if (!isInline(entry)) size += evenSize(entry.value.size());
    return size;
}

// Appends the IFD at tiff.size(), its values right behind it, each starting on an even offset.
void writeIfd(std::vector<uint8_t>& tiff, const std::vector<OutEntry>& entries, uint32_t nextIfd) {
    size_t valueOffset = tiff.size() + 2 + 12 * entries.size() + 4;
    put16(tiff, uint32_t(entries.size()));
    for (const OutEntry& entry : entries) {
        put16(tiff, entry.tag);
        put16(tiff, entry.type);
        put32(tiff, entry.count);
        if (isInline(entry)) {
            tiff.insert(tiff.end(), entry.value.begin(), entry.value.end());
            tiff.resize(tiff.size() + 4 - entry.value.size(), 0);
        } else {
            put32(tiff, uint32_t(valueOffset));
            valueOffset += evenSize(entry.value.size());
        }
    }
    put32(tiff, nextIfd);
    for (const OutEntry& entry : entries) {
        if (isInline(entry)) continue;
        tiff.insert(tiff.end(), entry.value.begin(), entry.value.end());
        tiff.resize(evenSize(tiff.size()), 0);
    }
}

std::vector<uint8_t> buildTiff(const ExifFields& fields, const std::vector<uint8_t>& thumbnail) {
    constexpr size_t ifd0Offset = 8;
    // A tag without a value is left out rather than written empty: a photo re-encoded without tags of
    // its own must not gain any.
    std::vector<OutEntry> ifd0;
    if (!fields.make.empty()) ifd0.push_back(asciiEntry(kTagMake, fields.make, fields.make.size() + 1));
    if (!fields.model.empty()) ifd0.push_back(asciiEntry(kTagModel, fields.model, fields.model.size() + 1));
    std::vector<OutEntry> exif;
    if (!fields.dateTimeOriginal.empty())
        exif.push_back(asciiEntry(kTagDateTimeOriginal, fields.dateTimeOriginal, kDateTimeCount));
    if (!exif.empty()) ifd0.push_back(longEntry(kTagExifIfd, 0));
    if (ifd0.empty()) return {};  // no tags, no segment: a thumbnail alone is no reason for one
    const size_t exifOffset = ifd0Offset + ifdSize(ifd0);
    const size_t ifd1Offset = exifOffset + (exif.empty() ? 0 : ifdSize(exif));
    if (ifd1Offset > kMaxTiffSize) return {};
    if (!exif.empty()) ifd0.back() = longEntry(kTagExifIfd, uint32_t(exifOffset));

    std::vector<OutEntry> ifd1 = {shortEntry(kTagCompression, 6),          // JPEG
                                  rationalEntry(kTagXResolution, 72, 1),
                                  rationalEntry(kTagYResolution, 72, 1),
                                  shortEntry(kTagResolutionUnit, 2),       // inches
                                  longEntry(kTagJpegOffset, 0),
                                  longEntry(kTagJpegLength, uint32_t(thumbnail.size()))};
    const size_t thumbnailOffset = ifd1Offset + ifdSize(ifd1);
    const bool withThumbnail = !thumbnail.empty() && thumbnailOffset <= kMaxTiffSize &&
                               thumbnail.size() <= kMaxTiffSize - thumbnailOffset;
    ifd1[4] = longEntry(kTagJpegOffset, uint32_t(thumbnailOffset));

    std::vector<uint8_t> tiff = {'I', 'I', 42, 0};
    put32(tiff, ifd0Offset);
    writeIfd(tiff, ifd0, withThumbnail ? uint32_t(ifd1Offset) : 0);
    if (!exif.empty()) writeIfd(tiff, exif, 0);
    if (withThumbnail) {
        writeIfd(tiff, ifd1, 0);
        tiff.insert(tiff.end(), thumbnail.begin(), thumbnail.end());
    }
    return tiff;
}

// ---- Reading TIFF structures

class TiffView {
public:
    TiffView(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool readHeader(uint32_t& ifd0Offset) {
        if (size_ < 8 || data_[0] != data_[1] || (data_[0] != 'I' && data_[0] != 'M')) return false;
        bigEndian_ = data_[0] == 'M';
        uint16_t magic = 0;
        return u16(2, magic) && magic == 42 && u32(4, ifd0Offset);
    }

    bool u16(size_t at, uint16_t& v) const {
        if (at > size_ || size_ - at < 2) return false;
        const uint8_t* p = data_ + at;
        v = bigEndian_ ? uint16_t(p[0] << 8 | p[1]) : uint16_t(p[1] << 8 | p[0]);
        return true;
    }

    bool u32(size_t at, uint32_t& v) const {
        uint16_t first = 0, second = 0;
        if (!u16(at, first) || !u16(at + 2, second)) return false;
        v = bigEndian_ ? uint32_t(first) << 16 | second : uint32_t(second) << 16 | first;
        return true;
    }

    bool contains(size_t at, size_t length) const { return at <= size_ && length <= size_ - at; }
    const uint8_t* at(size_t offset) const { return data_ + offset; }

private:
    const uint8_t* data_;
    size_t size_;
    bool bigEndian_ = false;
};

struct InEntry {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    size_t valueOffset = 0;  // into the TIFF data, checked to hold count values
};

// Reads each directory at most once, so a chain that points back cannot loop.
class IfdReader {
public:
    explicit IfdReader(const TiffView& tiff) : tiff_(tiff) {}

    // Entries whose values lie outside the TIFF data are left out.
    bool read(uint32_t offset, std::vector<InEntry>& entries, uint32_t& nextIfd) {
        uint16_t count = 0;
        if (std::find(visited_.begin(), visited_.end(), offset) != visited_.end()) return false;
        visited_.push_back(offset);
        if (!tiff_.u16(offset, count) || count > kMaxIfdEntries || !tiff_.contains(offset + size_t{2}, 12 * size_t{count} + 4))
            return false;
        entries.clear();
        for (size_t i = 0, at = offset + size_t{2}; i < count; ++i, at += 12) {
            InEntry entry;
            if (readEntry(at, entry)) entries.push_back(entry);
        }
        return tiff_.u32(offset + 2 + 12 * size_t{count}, nextIfd);
    }

private:
    bool readEntry(size_t at, InEntry& entry) const {
        tiff_.u16(at, entry.tag);
        tiff_.u16(at + 2, entry.type);
        tiff_.u32(at + 4, entry.count);
        const size_t unit = typeSize(entry.type);
        if (unit == 0 || entry.count > SIZE_MAX / unit) return false;
        const size_t bytes = entry.count * unit;
        entry.valueOffset = at + 8;
        if (bytes > 4) {
            uint32_t pointer = 0;
            tiff_.u32(at + 8, pointer);
            entry.valueOffset = pointer;
        }
        return tiff_.contains(entry.valueOffset, bytes);
    }

    const TiffView& tiff_;
    std::vector<uint32_t> visited_;
};

const InEntry* findTag(const std::vector<InEntry>& entries, uint16_t tag, uint16_t type) {
    for (const InEntry& entry : entries)
        if (entry.tag == tag && entry.type == type) return &entry;
    return nullptr;
}

bool readAscii(const TiffView& tiff, const std::vector<InEntry>& entries, uint16_t tag, std::vector<uint8_t>& raw,
               uint32_t& count) {
    const InEntry* entry = findTag(entries, tag, kTypeAscii);
    if (!entry) return false;
    raw.assign(tiff.at(entry->valueOffset), tiff.at(entry->valueOffset) + entry->count);
    count = entry->count;
    return true;
}

std::string readText(const TiffView& tiff, const std::vector<InEntry>& entries, uint16_t tag, uint32_t& count) {
    std::vector<uint8_t> raw;
    if (!readAscii(tiff, entries, tag, raw, count)) return {};
    return std::string(raw.begin(), std::find(raw.begin(), raw.end(), uint8_t(0)));
}

bool readUnsigned(const TiffView& tiff, const std::vector<InEntry>& entries, uint16_t tag, uint32_t& v) {
    const InEntry* entry = findTag(entries, tag, kTypeLong);
    if (entry && entry->count > 0) return tiff.u32(entry->valueOffset, v);
    entry = findTag(entries, tag, kTypeShort);
    uint16_t shortValue = 0;
    if (!entry || entry->count == 0 || !tiff.u16(entry->valueOffset, shortValue)) return false;
    v = shortValue;
    return true;
}

void readExifIfd(const TiffView& tiff, IfdReader& reader, uint32_t offset, ExifInfo& info) {
    std::vector<InEntry> entries;
    uint32_t next = 0;
    if (reader.read(offset, entries, next))
        readAscii(tiff, entries, kTagDateTimeOriginal, info.dateTimeOriginalRaw, info.dateTimeOriginalCount);
}

void readThumbnailIfd(const TiffView& tiff, IfdReader& reader, uint32_t offset, size_t tiffStart, ExifInfo& info) {
    std::vector<InEntry> entries;
    uint32_t next = 0, thumbnailOffset = 0, thumbnailLength = 0;
    if (reader.read(offset, entries, next) && readUnsigned(tiff, entries, kTagJpegOffset, thumbnailOffset) &&
        readUnsigned(tiff, entries, kTagJpegLength, thumbnailLength) && thumbnailLength > 0 &&
        tiff.contains(thumbnailOffset, thumbnailLength)) {
        info.thumbnailOffset = tiffStart + thumbnailOffset;
        info.thumbnailLength = thumbnailLength;
    }
}

bool readExifSegment(const uint8_t* data, const JpegSegment& seg, ExifInfo& info) {
    const size_t tiffStart = seg.offset + kTiffStart;
    TiffView tiff(data + tiffStart, seg.size - kTiffStart);
    uint32_t ifd0Offset = 0, nextIfd = 0, exifOffset = 0;
    if (!tiff.readHeader(ifd0Offset)) return false;
    IfdReader reader(tiff);
    std::vector<InEntry> ifd0;
    if (!reader.read(ifd0Offset, ifd0, nextIfd)) return false;

    info.make = readText(tiff, ifd0, kTagMake, info.makeCount);
    info.model = readText(tiff, ifd0, kTagModel, info.modelCount);
    if (readUnsigned(tiff, ifd0, kTagExifIfd, exifOffset)) readExifIfd(tiff, reader, exifOffset, info);
    if (nextIfd != 0) readThumbnailIfd(tiff, reader, nextIfd, tiffStart, info);
    return true;
}

}  // namespace

std::string formatExifDateTime(int year, int month, int day, int hour, int minute, int second) {
    char text[80];  // room for six ints of any value
    std::snprintf(text, sizeof text, "%.4d:%.2d:%.2d %.2d:%.2d:%.2d", year, month, day, hour, minute, second);
    return text;
}

std::vector<uint8_t> buildExifApp1(const ExifFields& fields, const std::vector<uint8_t>& thumbnailJpeg) {
    try {
        const std::vector<uint8_t> tiff = buildTiff(fields, thumbnailJpeg);
        if (tiff.empty()) return {};
        const size_t length = 2 + sizeof kExifHeader + tiff.size();
        std::vector<uint8_t> segment = {0xFF, kApp1, uint8_t(length >> 8), uint8_t(length)};
        segment.insert(segment.end(), std::begin(kExifHeader), std::end(kExifHeader));
        segment.insert(segment.end(), tiff.begin(), tiff.end());
        return segment;
    } catch (...) {
        return {};
    }
}

bool insertExifApp1(const std::vector<uint8_t>& jpeg, const std::vector<uint8_t>& app1, std::vector<uint8_t>& out) {
    try {
        const uint8_t* data = jpeg.data();
        std::vector<uint8_t> result = {0xFF, kJpegSoi};
        result.reserve(jpeg.size() + app1.size());
        result.insert(result.end(), app1.begin(), app1.end());
        const bool complete = walkJpegSegments(data, jpeg.size(), [&](const JpegSegment& seg) {
            const size_t end = endsJpegHeaders(seg.marker) ? jpeg.size() : seg.offset + seg.size;
            if (!isExifSegment(data, seg)) result.insert(result.end(), data + seg.offset, data + end);
            return true;
        });
        if (!complete) return false;
        out = std::move(result);
        return true;
    } catch (...) {
        return false;
    }
}

bool readExif(const uint8_t* data, size_t size, ExifInfo& info) {
    try {
        JpegSegment seg;
        ExifInfo result;
        if (!findExifSegment(data, size, seg) || !readExifSegment(data, seg, result)) return false;
        info = std::move(result);
        return true;
    } catch (...) {
        return false;
    }
}

bool findExifThumbnail(const uint8_t* data, size_t size, size_t& offset, size_t& length) {
    ExifInfo info;
    if (!readExif(data, size, info) || info.thumbnailLength < 2 || info.thumbnailOffset > size ||
        info.thumbnailLength > size - info.thumbnailOffset || data[info.thumbnailOffset] != 0xFF ||
        data[info.thumbnailOffset + 1] != kJpegSoi)
        return false;
    offset = info.thumbnailOffset;
    length = info.thumbnailLength;
    return true;
}

std::vector<uint8_t> extractExifApp1(const uint8_t* data, size_t size) {
    try {
        JpegSegment seg;
        if (!findExifSegment(data, size, seg)) return {};
        return std::vector<uint8_t>(data + seg.offset, data + seg.offset + seg.size);
    } catch (...) {
        return {};
    }
}

}  // namespace skeo
