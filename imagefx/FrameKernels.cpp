#include "imagefx/FrameKernels.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <tmmintrin.h>
#endif

namespace vantorfx {

namespace {

constexpr int kBytesPerPixel = 3;

bool overlaps(const uint8_t* a, const uint8_t* b, size_t length) {
    const uintptr_t pa = reinterpret_cast<uintptr_t>(a);
    const uintptr_t pb = reinterpret_cast<uintptr_t>(b);
    return pa < pb ? pb - pa < length : pa - pb < length;
}

bool buffersUsable(const FrameFormat& format, const uint8_t* source, size_t sourceLength, const uint8_t* destination,
                   size_t destinationLength) {
    const size_t bytes = frameBytes(format);
    return bytes != 0 && source && destination && sourceLength >= bytes && destinationLength >= bytes &&
           !overlaps(source, destination, bytes);
}

inline void copyPixel(uint8_t* d, const uint8_t* s) {
    d[0] = s[0];
    d[1] = s[1];
    d[2] = s[2];
}

// One 4-byte move per pixel is cheaper than three byte moves; its fourth byte is rewritten by the
// next pixel. Callers keep both ends of such a move inside the row.
inline void copyPixelWide(uint8_t* d, const uint8_t* s) {
    uint32_t v;
    std::memcpy(&v, s, sizeof v);
    std::memcpy(d, &v, sizeof v);
}

void mirrorRowPortable(const uint8_t* source, uint8_t* destination, int width) {
    if (width <= 0) return;
    const uint8_t* s = source + static_cast<size_t>(width - 1) * kBytesPerPixel;
    for (int x = 0; x < width; ++x, s -= kBytesPerPixel, destination += kBytesPerPixel) copyPixel(destination, s);
}

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define VANTORFX_HAVE_SSSE3 1

// Byte shuffles that reverse 16 pixels (48 bytes): output register r takes from source register q
// the bytes masks[r][q] names; 0x80 yields zero.
struct MirrorMasks {
    alignas(16) uint8_t bytes[3][3][16];
};

constexpr MirrorMasks makeMirrorMasks() {
    MirrorMasks m{};
    for (int r = 0; r < 3; ++r)
        for (int p = 0; p < 16; ++p) {
            const int k = 16 * r + p;
            const int from = 45 - 3 * (k / 3) + k % 3;
            for (int q = 0; q < 3; ++q) m.bytes[r][q][p] = static_cast<uint8_t>(from / 16 == q ? from % 16 : 0x80);
        }
    return m;
}

constexpr MirrorMasks kMirrorMasks = makeMirrorMasks();

#if defined(__i386__)
// 32-bit Windows keeps the stack only 4-byte aligned; vector spills need 16.
#define VANTORFX_VECTOR_FUNCTION __attribute__((target("ssse3"), force_align_arg_pointer))
#else
#define VANTORFX_VECTOR_FUNCTION __attribute__((target("ssse3")))
#endif

VANTORFX_VECTOR_FUNCTION void mirrorRowSsse3(const uint8_t* source, uint8_t* destination, int width) {
    const __m128i(*masks)[3] = reinterpret_cast<const __m128i(*)[3]>(kMirrorMasks.bytes);
    const __m128i oa_b = _mm_load_si128(&masks[0][1]), oa_c = _mm_load_si128(&masks[0][2]);
    const __m128i ob_a = _mm_load_si128(&masks[1][0]), ob_b = _mm_load_si128(&masks[1][1]);
    const __m128i ob_c = _mm_load_si128(&masks[1][2]);
    const __m128i oc_a = _mm_load_si128(&masks[2][0]), oc_b = _mm_load_si128(&masks[2][1]);
    const int blocks = width / 16;
    uint8_t* d = destination;
    for (int i = 1; i <= blocks; ++i, d += 48) {
        const uint8_t* s = source + static_cast<size_t>(width - 16 * i) * kBytesPerPixel;
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 32));
        const __m128i oa = _mm_or_si128(_mm_shuffle_epi8(b, oa_b), _mm_shuffle_epi8(c, oa_c));
        const __m128i ob = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(a, ob_a), _mm_shuffle_epi8(b, ob_b)),
                                        _mm_shuffle_epi8(c, ob_c));
        const __m128i oc = _mm_or_si128(_mm_shuffle_epi8(a, oc_a), _mm_shuffle_epi8(b, oc_b));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), oa);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 16), ob);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 32), oc);
    }
    // The first width % 16 source pixels end the destination row.
    mirrorRowPortable(source, d, width - blocks * 16);
}

bool haveSsse3() {
    static const bool have = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return have;
}
#endif

}  // namespace

namespace detail {

void mirrorRow(const uint8_t* source, uint8_t* destination, int width, bool allowVector) {
#ifdef VANTORFX_HAVE_SSSE3
    if (allowVector && haveSsse3()) {
        mirrorRowSsse3(source, destination, width);
        return;
    }
#else
    (void)allowVector;
#endif
    mirrorRowPortable(source, destination, width);
}

bool vectorMirror() {
#ifdef VANTORFX_HAVE_SSSE3
    return haveSsse3();
#else
    return false;
#endif
}

}  // namespace detail

bool formatFromDib(int32_t width, int32_t height, int bitCount, FrameFormat& out) {
    if (width <= 0 || height == 0 || height == std::numeric_limits<int32_t>::min() || bitCount != 24) return false;
    // DIB rows are padded to whole 32-bit words.
    const int64_t stride = (static_cast<int64_t>(width) * bitCount + 31) / 32 * 4;
    if (stride > std::numeric_limits<int>::max()) return false;
    FrameFormat f;
    f.width = width;
    f.height = height < 0 ? -height : height;
    f.bytesPerPixel = bitCount / 8;
    f.stride = static_cast<int>(stride);
    f.topDown = height < 0;
    if (!accepts(f)) return false;
    out = f;
    return true;
}

bool accepts(const FrameFormat& format) {
    if (format.width <= 0 || format.height <= 0 || format.bytesPerPixel != kBytesPerPixel) return false;
    if (format.stride < static_cast<int64_t>(format.width) * kBytesPerPixel) return false;
    // Both limits matter on 32-bit Windows, where size_t is 32 bits.
    const uint64_t bytes = static_cast<uint64_t>(format.stride) * static_cast<uint64_t>(format.height);
    return bytes <= static_cast<uint64_t>(std::numeric_limits<ptrdiff_t>::max()) &&
           bytes <= static_cast<uint64_t>(std::numeric_limits<size_t>::max());
}

size_t frameBytes(const FrameFormat& format) {
    if (!accepts(format)) return 0;
    return static_cast<size_t>(format.stride) * static_cast<size_t>(format.height);
}

bool fitsBuffer(const FrameFormat& format, size_t length) {
    const size_t bytes = frameBytes(format);
    return bytes != 0 && length >= bytes;
}

bool zooms(float zoom) { return zoom > 1.0f; }

bool zoomWindow(const FrameFormat& format, float zoom, ZoomWindow& out) {
    if (!zooms(zoom) || !accepts(format)) return false;
    const int64_t w = format.width;
    const int64_t h = format.height;
    // Float division as the filter's zoom is a 32-bit float; the clamp guards heights beyond
    // float precision.
    const float scaled = static_cast<float>(h) / zoom;
    const int64_t ch = std::min<int64_t>(h, static_cast<int64_t>(scaled));
    int64_t e = ch * 4 / 3;
    e -= e % 4;
    int64_t g = e * 3 / 4;
    if (e > w) e = w;  // narrow or portrait frame: the whole width, the height the factor asks for
    if (e == 0 || g == 0) {
        // Factor so large that no 4:3 window survives the rounding: smallest window it allows.
        e = std::min<int64_t>(4, w);
        g = std::min<int64_t>(3, h);
    }
    const int64_t m = (h - g) / 2;
    ZoomWindow z;
    z.scaledHeight = static_cast<int>(ch);
    z.width = static_cast<int>(e);
    z.height = static_cast<int>(g);
    z.left = static_cast<int>((w - e) / 2);
    z.margin = static_cast<int>(m);
    // The window sits one row below the centre of a bottom-up frame (memory rows M-1 on); a
    // top-down frame gets the same picture rows. A margin of 0 would start it outside the frame.
    z.firstRow = static_cast<int>(format.topDown ? std::min(h - m - g + 1, h - g) : std::max<int64_t>(m - 1, 0));
    out = z;
    return true;
}

bool copyFrame(const FrameFormat& format, const uint8_t* source, size_t sourceLength, uint8_t* destination,
               size_t destinationLength, bool mirror, bool flip) {
    if (!buffersUsable(format, source, sourceLength, destination, destinationLength)) return false;
    const size_t stride = static_cast<size_t>(format.stride);
    const size_t rowBytes = static_cast<size_t>(format.width) * kBytesPerPixel;
    const int h = format.height;
    if (!mirror && !flip && stride == rowBytes) {
        std::memcpy(destination, source, frameBytes(format));
        return true;
    }
    for (int k = 0; k < h; ++k) {
        const uint8_t* s = source + static_cast<size_t>(flip ? h - 1 - k : k) * stride;
        uint8_t* d = destination + static_cast<size_t>(k) * stride;
        if (mirror)
            detail::mirrorRow(s, d, format.width, true);
        else
            std::memcpy(d, s, rowBytes);
    }
    return true;
}

namespace {

constexpr uint32_t kWeightOne = 256;

// The two window samples around the centre of output sample i of outCount, mapped into inCount
// window samples (both ends held inside), and the second one's weight in 1/256.
ZoomScaler::Tap tapFor(int i, int outCount, int inCount) {
    // Centre of output sample i in window samples, less half a sample: ((2i + 1) in - out) / 2 out.
    const int64_t numerator = (2 * static_cast<int64_t>(i) + 1) * inCount - outCount;
    const int64_t denominator = 2 * static_cast<int64_t>(outCount);
    if (numerator <= 0) return {0, 0, 0};
    int64_t first = numerator / denominator;
    int64_t weight = ((numerator % denominator) * kWeightOne + denominator / 2) / denominator;
    if (weight == kWeightOne) {
        ++first;
        weight = 0;
    }
    if (first >= inCount - 1) return {static_cast<uint32_t>(inCount - 1), static_cast<uint32_t>(inCount - 1), 0};
    return {static_cast<uint32_t>(first), static_cast<uint32_t>(first + 1), static_cast<uint32_t>(weight)};
}

}  // namespace

bool ZoomScaler::prepare(const FrameFormat& format, float zoom, bool mirror, bool flip) noexcept {
    if (ready_ && zoom == zoom_ && mirror == mirror_ && flip == flip_ && format.width == format_.width &&
        format.height == format_.height && format.bytesPerPixel == format_.bytesPerPixel &&
        format.stride == format_.stride && format.topDown == format_.topDown)
        return true;
    ready_ = false;
    ZoomWindow window;
    if (!zoomWindow(format, zoom, window)) return false;
    try {
        columns_.resize(static_cast<size_t>(format.width));
        rows_.resize(static_cast<size_t>(format.height));
        for (auto& row : cache_) row.resize(static_cast<size_t>(format.width) * kBytesPerPixel);
    } catch (const std::bad_alloc&) {
        return false;
    }
    // The mapping is symmetric: the mirrored window position of output sample i is that of the
    // output sample mirrored.
    for (int x = 0; x < format.width; ++x) {
        const Tap t = tapFor(mirror ? format.width - 1 - x : x, format.width, window.width);
        columns_[static_cast<size_t>(x)] = Tap{(window.left + t.first) * kBytesPerPixel,
                                               (window.left + t.second) * kBytesPerPixel, t.weight};
    }
    for (int y = 0; y < format.height; ++y) {
        const Tap t = tapFor(flip ? format.height - 1 - y : y, format.height, window.height);
        rows_[static_cast<size_t>(y)] = Tap{window.firstRow + t.first, window.firstRow + t.second, t.weight};
    }
    format_ = format;
    zoom_ = zoom;
    mirror_ = mirror;
    flip_ = flip;
    window_ = window;
    cachedRow_[0] = cachedRow_[1] = UINT32_MAX;
    ready_ = true;
    return true;
}

const uint16_t* ZoomScaler::scaledRow(const uint8_t* source, uint32_t row) noexcept {
    for (int slot = 0; slot < 2; ++slot)
        if (cachedRow_[slot] == row) return cache_[slot].data();
    // Rows are asked for in order (or in reverse), so the older of the two is the one to replace.
    const int slot = nextSlot_;
    nextSlot_ ^= 1;
    cachedRow_[slot] = row;
    const uint8_t* s = source + static_cast<size_t>(row) * static_cast<size_t>(format_.stride);
    uint16_t* out = cache_[slot].data();
    for (const Tap& c : columns_) {
        const uint8_t* a = s + c.first;
        const uint8_t* b = s + c.second;
        const uint32_t wb = c.weight, wa = kWeightOne - wb;
        out[0] = static_cast<uint16_t>(a[0] * wa + b[0] * wb);
        out[1] = static_cast<uint16_t>(a[1] * wa + b[1] * wb);
        out[2] = static_cast<uint16_t>(a[2] * wa + b[2] * wb);
        out += kBytesPerPixel;
    }
    return cache_[slot].data();
}

bool ZoomScaler::scale(const uint8_t* source, size_t sourceLength, uint8_t* destination,
                       size_t destinationLength) noexcept {
    if (!ready_ || !buffersUsable(format_, source, sourceLength, destination, destinationLength)) return false;
    // Cached rows belong to the frame they were made from.
    cachedRow_[0] = cachedRow_[1] = UINT32_MAX;
    const size_t stride = static_cast<size_t>(format_.stride);
    const size_t channels = static_cast<size_t>(format_.width) * kBytesPerPixel;
    for (int y = 0; y < format_.height; ++y) {
        const Tap& r = rows_[static_cast<size_t>(y)];
        uint8_t* d = destination + static_cast<size_t>(y) * stride;
        const uint16_t* a = scaledRow(source, r.first);
        const uint32_t wb = r.weight, wa = kWeightOne - wb;
        if (wb == 0) {
            for (size_t i = 0; i < channels; ++i) d[i] = static_cast<uint8_t>((a[i] + kWeightOne / 2) >> 8);
            continue;
        }
        const uint16_t* b = scaledRow(source, r.second);
        // One rounding for both directions: the sums carry 16 fraction bits.
        for (size_t i = 0; i < channels; ++i) d[i] = static_cast<uint8_t>((a[i] * wa + b[i] * wb + 32768) >> 16);
    }
    return true;
}

bool transformFrame(const FrameFormat& format, const Effects& effects, const uint8_t* source, size_t sourceLength,
                    uint8_t* destination, size_t destinationLength, ZoomScaler& scaler) noexcept {
    if (!zooms(effects.zoom))
        return copyFrame(format, source, sourceLength, destination, destinationLength, effects.mirror, effects.flip);
    return scaler.prepare(format, effects.zoom, effects.mirror, effects.flip) &&
           scaler.scale(source, sourceLength, destination, destinationLength);
}

}  // namespace vantorfx
