#include "imagefx/FrameKernels.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
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

// Rows read backwards, or in reverse order, are a pattern the processor does not foresee: the next
// row is fetched ahead while this one is worked on.
inline void prefetch(const uint8_t* p) {
#if defined(__GNUC__)
    __builtin_prefetch(p);
#else
    (void)p;
#endif
}

inline void prefetchRow(const uint8_t* row, size_t bytes) {
    for (size_t i = 0; i < bytes; i += 64) prefetch(row + i);
    prefetch(row + bytes - 1);
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
// 32-bit Windows keeps the stack only 4-byte aligned; vector spills need 16 or 32.
#define VANTORFX_VECTOR_FUNCTION __attribute__((target("ssse3"), force_align_arg_pointer))
#define VANTORFX_AVX2_FUNCTION __attribute__((target("avx2"), force_align_arg_pointer))
#else
#define VANTORFX_VECTOR_FUNCTION __attribute__((target("ssse3")))
// 64-bit GCC for Windows cannot align the stack to 32 bytes: these functions must keep their
// 256-bit values in registers (the build checks that none is spilled).
#define VANTORFX_AVX2_FUNCTION __attribute__((target("avx2")))
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

// 32 pixels (96 bytes, three 256-bit loads Y0..Y2) reversed: as above for each group of 16, but
// a byte shuffle works within 128-bit halves, so each output register takes its sources with the
// halves arranged (swapped or combined) so that each half finds its bytes in its own half.
struct MirrorMasks256 {
    alignas(32) uint8_t bytes[8][32];
};

constexpr MirrorMasks256 makeMirrorMasks256() {
    // Per output register and shuffle: the 128-bit mask (output r, source q) for each half; -1 = none.
    constexpr int plan[8][2][2] = {{{0, 1}, {1, 2}}, {{0, 2}, {1, 1}}, {{-1, -1}, {1, 0}},  // out 0
                                   {{2, 0}, {0, 2}}, {{2, 1}, {0, 1}},                      // out 1
                                   {{1, 0}, {2, 1}}, {{1, 1}, {2, 0}}, {{1, 2}, {-1, -1}}};  // out 2
    MirrorMasks256 m{};
    for (int k = 0; k < 8; ++k)
        for (int half = 0; half < 2; ++half)
            for (int p = 0; p < 16; ++p) {
                const int r = plan[k][half][0], q = plan[k][half][1];
                m.bytes[k][16 * half + p] = r < 0 ? 0x80 : kMirrorMasks.bytes[r][q][p];
            }
    return m;
}

constexpr MirrorMasks256 kMirrorMasks256 = makeMirrorMasks256();

VANTORFX_AVX2_FUNCTION void mirrorRowAvx2(const uint8_t* source, uint8_t* destination, int width) {
    const __m256i* masks = reinterpret_cast<const __m256i*>(kMirrorMasks256.bytes);
    const int blocks = width / 32;
    uint8_t* d = destination;
    for (int i = 1; i <= blocks; ++i, d += 96) {
        const uint8_t* s = source + static_cast<size_t>(width - 32 * i) * kBytesPerPixel;
        const __m256i y0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
        const __m256i y1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 32));
        const __m256i y2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 64));
        const __m256i y0Swapped = _mm256_permute2x128_si256(y0, y0, 0x01);
        const __m256i y1Swapped = _mm256_permute2x128_si256(y1, y1, 0x01);
        const __m256i y2Swapped = _mm256_permute2x128_si256(y2, y2, 0x01);
        const __m256i y2LowY0High = _mm256_permute2x128_si256(y2, y0, 0x30);
        const __m256i out0 = _mm256_or_si256(
            _mm256_or_si256(_mm256_shuffle_epi8(y2, _mm256_load_si256(masks + 0)),
                            _mm256_shuffle_epi8(y2Swapped, _mm256_load_si256(masks + 1))),
            _mm256_shuffle_epi8(y1, _mm256_load_si256(masks + 2)));
        const __m256i out1 = _mm256_or_si256(_mm256_shuffle_epi8(y1Swapped, _mm256_load_si256(masks + 3)),
                                             _mm256_shuffle_epi8(y2LowY0High, _mm256_load_si256(masks + 4)));
        const __m256i out2 = _mm256_or_si256(
            _mm256_or_si256(_mm256_shuffle_epi8(y0, _mm256_load_si256(masks + 5)),
                            _mm256_shuffle_epi8(y0Swapped, _mm256_load_si256(masks + 6))),
            _mm256_shuffle_epi8(y1, _mm256_load_si256(masks + 7)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), out0);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 32), out1);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 64), out2);
    }
    _mm256_zeroupper();
    // The first width % 32 source pixels end the destination row.
    mirrorRowSsse3(source, d, width - blocks * 32);
}

#endif

}  // namespace

Vector vectorSupport() noexcept {
#ifdef VANTORFX_HAVE_SSSE3
    static const Vector best = [] {
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx2")) return Vector::avx2;
        return __builtin_cpu_supports("ssse3") ? Vector::ssse3 : Vector::none;
    }();
    return best;
#else
    return Vector::none;
#endif
}

namespace {

Vector usable(Vector limit) { return std::min(limit, vectorSupport()); }

}  // namespace

namespace detail {

void mirrorRow(const uint8_t* source, uint8_t* destination, int width, Vector limit) {
    switch (usable(limit)) {
#ifdef VANTORFX_HAVE_SSSE3
    case Vector::avx2:
        mirrorRowAvx2(source, destination, width);
        return;
    case Vector::ssse3:
        mirrorRowSsse3(source, destination, width);
        return;
#endif
    default:
        mirrorRowPortable(source, destination, width);
    }
}

}  // namespace detail

namespace {

void blendRowsPortable(const uint8_t* a, const uint8_t* b, int wa, int wb, uint8_t* out, size_t count) {
    for (size_t i = 0; i < count; ++i) out[i] = static_cast<uint8_t>((a[i] * wa + b[i] * wb + 64) >> 7);
}

#ifdef VANTORFX_HAVE_SSSE3
// Bytes of the two rows interleaved, each pair multiplied by (wa, wb) and summed; x 256 with
// rounding keeps the high half, which is the sum / 128 rounded.
VANTORFX_VECTOR_FUNCTION void blendRowsSsse3(const uint8_t* a, const uint8_t* b, int wa, int wb, uint8_t* out,
                                              size_t count) {
    const __m128i weights = _mm_set1_epi16(static_cast<short>((wb << 8) | wa));
    const __m128i scale = _mm_set1_epi16(256);
    size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
        const __m128i y = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
        const __m128i low = _mm_mulhrs_epi16(_mm_maddubs_epi16(_mm_unpacklo_epi8(x, y), weights), scale);
        const __m128i high = _mm_mulhrs_epi16(_mm_maddubs_epi16(_mm_unpackhi_epi8(x, y), weights), scale);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(low, high));
    }
    blendRowsPortable(a + i, b + i, wa, wb, out + i, count - i);
}

// The same, 32 bytes at a time.
VANTORFX_AVX2_FUNCTION void blendRowsAvx2(const uint8_t* a, const uint8_t* b, int wa, int wb, uint8_t* out,
                                          size_t count) {
    const __m256i weights = _mm256_set1_epi16(static_cast<short>((wb << 8) | wa));
    const __m256i scale = _mm256_set1_epi16(256);
    size_t i = 0;
    for (; i + 32 <= count; i += 32) {
        const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + i));
        const __m256i y = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + i));
        const __m256i low = _mm256_mulhrs_epi16(_mm256_maddubs_epi16(_mm256_unpacklo_epi8(x, y), weights), scale);
        const __m256i high = _mm256_mulhrs_epi16(_mm256_maddubs_epi16(_mm256_unpackhi_epi8(x, y), weights), scale);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_packus_epi16(low, high));
    }
    _mm256_zeroupper();
    blendRowsSsse3(a + i, b + i, wa, wb, out + i, count - i);
}
#endif

}  // namespace

namespace detail {

void blendRows(const uint8_t* a, const uint8_t* b, int wa, int wb, uint8_t* out, size_t count, Vector limit) {
    switch (usable(limit)) {
#ifdef VANTORFX_HAVE_SSSE3
    case Vector::avx2:
        blendRowsAvx2(a, b, wa, wb, out, count);
        return;
    case Vector::ssse3:
        blendRowsSsse3(a, b, wa, wb, out, count);
        return;
#endif
    default:
        blendRowsPortable(a, b, wa, wb, out, count);
    }
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
        if (k + 1 < h) prefetchRow(flip ? s - stride : s + stride, rowBytes);
        if (mirror)
            detail::mirrorRow(s, d, format.width, Vector::avx2);
        else
            std::memcpy(d, s, rowBytes);
    }
    return true;
}

namespace {

// Weights in 1/128: a row scaled across then fits a signed 16-bit lane (255 x 128), as the vector
// blend of two such rows needs.
constexpr uint32_t kWeightOne = 128;

// The two window samples around the centre of output sample i of outCount, mapped into inCount
// window samples (both ends held inside), and the second one's weight in 1/128.
BilinearScaler::Tap tapFor(int i, int outCount, int inCount) {
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

bool BilinearScaler::prepare(const Rows& source, const Window& window, const Rows& target, bool mirror,
                             bool flip) noexcept {
    if (ready_ && source == source_ && window == window_ && target == target_ && mirror == mirror_ && flip == flip_)
        return true;
    ready_ = false;
    const auto shapeUsable = [](const Rows& r) {
        return r.width > 0 && r.height > 0 && r.stride >= static_cast<int64_t>(r.width) * kBytesPerPixel &&
               static_cast<uint64_t>(r.stride) * static_cast<uint64_t>(r.height) <=
                   static_cast<uint64_t>(std::numeric_limits<ptrdiff_t>::max());
    };
    if (!shapeUsable(source) || !shapeUsable(target) || window.width <= 0 || window.height <= 0 || window.left < 0 ||
        window.firstRow < 0 || static_cast<int64_t>(window.left) + window.width > source.width ||
        static_cast<int64_t>(window.firstRow) + window.height > source.height)
        return false;
    try {
        columns_.resize(static_cast<size_t>(target.width));
        rows_.resize(static_cast<size_t>(target.height));
        // Room for the last block's whole 16-byte store.
        for (auto& row : cache_) row.resize(static_cast<size_t>(target.width) * kBytesPerPixel + 16);
        blocks_.resize(static_cast<size_t>(target.width / 4));
        pairs_.resize(blocks_.size() / 2);
    } catch (const std::bad_alloc&) {
        return false;
    }
    // The mapping is symmetric: the mirrored window position of output sample i is that of the
    // output sample mirrored.
    for (int x = 0; x < target.width; ++x) {
        const Tap t = tapFor(mirror ? target.width - 1 - x : x, target.width, window.width);
        columns_[static_cast<size_t>(x)] = Tap{(window.left + t.first) * kBytesPerPixel,
                                               (window.left + t.second) * kBytesPerPixel, t.weight};
    }
    for (int y = 0; y < target.height; ++y) {
        const Tap t = tapFor(flip ? target.height - 1 - y : y, target.height, window.height);
        rows_[static_cast<size_t>(y)] = Tap{window.firstRow + t.first, window.firstRow + t.second, t.weight};
    }
    source_ = source;
    target_ = target;
    window_ = window;
    mirror_ = mirror;
    flip_ = flip;
    prepareBlocks();
    cachedRow_[0] = cachedRow_[1] = UINT32_MAX;
    ready_ = true;
    return true;
}

bool ZoomScaler::prepare(const FrameFormat& format, float zoom, bool mirror, bool flip) noexcept {
    if (ready_ && zoom == zoom_ && mirror == mirror_ && flip == flip_ && format.width == format_.width &&
        format.height == format_.height && format.bytesPerPixel == format_.bytesPerPixel &&
        format.stride == format_.stride && format.topDown == format_.topDown)
        return true;
    ready_ = false;
    ZoomWindow window;
    if (!zoomWindow(format, zoom, window)) return false;
    const BilinearScaler::Rows frame{format.width, format.height, format.stride};
    if (!scaler_.prepare(frame, {window.left, window.firstRow, window.width, window.height}, frame, mirror, flip))
        return false;
    format_ = format;
    zoom_ = zoom;
    mirror_ = mirror;
    flip_ = flip;
    window_ = window;
    ready_ = true;
    return true;
}

bool ZoomScaler::scale(const uint8_t* source, size_t sourceLength, uint8_t* destination,
                       size_t destinationLength) noexcept {
    // The scaler checks the buffers against the frame it was prepared for.
    return ready_ && scaler_.scale(source, sourceLength, destination, destinationLength);
}

void BilinearScaler::prepareBlocks() {
    for (size_t k = 0; k < blocks_.size(); ++k) {
        Block& b = blocks_[k];
        const Tap* c = &columns_[4 * k];
        uint32_t low = UINT32_MAX, high = 0;
        for (int p = 0; p < 4; ++p) {
            low = std::min({low, c[p].first, c[p].second});
            high = std::max({high, c[p].first, c[p].second});
        }
        b.source = low;
        // A pixel's three bytes from the highest tap, all within the 16 bytes loaded.
        b.vector = high + kBytesPerPixel - low <= 16 && static_cast<int64_t>(low) + 16 <= source_.stride;
        std::memset(b.pairsLow, 0x80, sizeof b.pairsLow);
        std::memset(b.pairsHigh, 0x80, sizeof b.pairsHigh);
        std::memset(b.weights, 0, sizeof b.weights);
        for (int channel = 0; channel < 12; ++channel) {
            const Tap& t = c[channel / 3];
            // An exact column (no second weight) is its pixel twice at half weight: 128 is no int8.
            const bool exact = t.weight == 0;
            const uint8_t first = static_cast<uint8_t>(t.first - low + channel % 3);
            const uint8_t second = exact ? first : static_cast<uint8_t>(t.second - low + channel % 3);
            uint8_t* pairs = channel < 8 ? b.pairsLow : b.pairsHigh;
            int8_t* weights = b.weights[channel < 8 ? 0 : 1];
            const int slot = channel < 8 ? channel : channel - 8;
            pairs[2 * slot] = b.vector ? first : 0x80;
            pairs[2 * slot + 1] = b.vector ? second : 0x80;
            weights[2 * slot] = static_cast<int8_t>(exact ? 64 : kWeightOne - t.weight);
            weights[2 * slot + 1] = static_cast<int8_t>(exact ? 64 : t.weight);
        }
    }
    for (size_t k = 0; k + 1 < blocks_.size(); k += 2) {
        BlockPair& pair = pairs_[k / 2];
        pair.vector = blocks_[k].vector && blocks_[k + 1].vector;
        for (int half = 0; half < 2; ++half) {
            const Block& b = blocks_[k + half];
            pair.source[half] = b.source;
            std::memcpy(pair.pairsLow + 16 * half, b.pairsLow, 16);
            std::memcpy(pair.pairsHigh + 16 * half, b.pairsHigh, 16);
            std::memcpy(pair.weights[0] + 16 * half, b.weights[0], 16);
            std::memcpy(pair.weights[1] + 16 * half, b.weights[1], 16);
        }
    }
}

inline uint8_t blendPair(uint8_t a, uint8_t b, uint32_t wb) {
    return static_cast<uint8_t>((a * (kWeightOne - wb) + b * wb + 64) >> 7);
}

#ifdef VANTORFX_HAVE_SSSE3
namespace {

VANTORFX_VECTOR_FUNCTION inline __m128i scaleBlockSsse3(const uint8_t* row, const uint8_t* pairsLow,
                                                        const uint8_t* pairsHigh, const int8_t* weightsLow,
                                                        const int8_t* weightsHigh) {
    const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row));
    const __m128i low = _mm_maddubs_epi16(_mm_shuffle_epi8(pixels, _mm_loadu_si128(reinterpret_cast<const __m128i*>(pairsLow))),
                                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(weightsLow)));
    const __m128i high =
        _mm_maddubs_epi16(_mm_shuffle_epi8(pixels, _mm_loadu_si128(reinterpret_cast<const __m128i*>(pairsHigh))),
                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(weightsHigh)));
    const __m128i scale = _mm_set1_epi16(256);
    return _mm_packus_epi16(_mm_mulhrs_epi16(low, scale), _mm_mulhrs_epi16(high, scale));
}

}  // namespace

// Four output pixels per block: the pairs picked out of one load, each multiplied by its weights
// and summed, divided by 128 with rounding, narrowed to bytes; the 16-byte store's last four bytes
// are the next block's to overwrite.
VANTORFX_VECTOR_FUNCTION void BilinearScaler::scaleBlock(const uint8_t* row, size_t k, uint8_t* out) const noexcept {
    const Block& b = blocks_[k];
    if (!b.vector) {
        const Tap* column = &columns_[4 * k];
        for (int p = 0; p < 4; ++p)
            for (int ch = 0; ch < 3; ++ch)
                out[3 * p + ch] = blendPair(row[column[p].first + ch], row[column[p].second + ch], column[p].weight);
        return;
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     scaleBlockSsse3(row + b.source, b.pairsLow, b.pairsHigh, b.weights[0], b.weights[1]));
}

VANTORFX_VECTOR_FUNCTION void BilinearScaler::scaleAcrossSsse3(const uint8_t* row, uint8_t* out) const noexcept {
    for (size_t k = 0; k < blocks_.size(); ++k, out += 12) scaleBlock(row, k, out);
}

// Two blocks side by side, one in each 128-bit half: the byte shuffles and multiply-adds work
// within halves, so each half is the four-pixel block as above.
VANTORFX_AVX2_FUNCTION void BilinearScaler::scaleAcrossAvx2(const uint8_t* row, uint8_t* out) const noexcept {
    const __m256i scale = _mm256_set1_epi16(256);
    size_t k = 0;
    for (; k + 2 <= blocks_.size(); k += 2, out += 24) {
        const BlockPair& pair = pairs_[k / 2];
        if (!pair.vector) {
            scaleBlock(row, k, out);
            scaleBlock(row, k + 1, out + 12);
            continue;
        }
        const __m256i pixels =
            _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + pair.source[0]))),
                                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + pair.source[1])), 1);
        const __m256i low = _mm256_maddubs_epi16(
            _mm256_shuffle_epi8(pixels, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pair.pairsLow))),
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pair.weights[0])));
        const __m256i high = _mm256_maddubs_epi16(
            _mm256_shuffle_epi8(pixels, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pair.pairsHigh))),
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(pair.weights[1])));
        const __m256i bytes = _mm256_packus_epi16(_mm256_mulhrs_epi16(low, scale), _mm256_mulhrs_epi16(high, scale));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(bytes));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 12), _mm256_extracti128_si256(bytes, 1));
    }
    _mm256_zeroupper();
    if (k < blocks_.size()) scaleBlock(row, k, out);
}
#else
void BilinearScaler::scaleBlock(const uint8_t*, size_t, uint8_t*) const noexcept {}
void BilinearScaler::scaleAcrossSsse3(const uint8_t*, uint8_t*) const noexcept {}
void BilinearScaler::scaleAcrossAvx2(const uint8_t*, uint8_t*) const noexcept {}
#endif

const uint8_t* BilinearScaler::scaledRow(const uint8_t* source, uint32_t row) noexcept {
    for (int slot = 0; slot < 2; ++slot)
        if (cachedRow_[slot] == row) return cache_[slot].data();
    // Rows are asked for in order (or in reverse), so the older of the two is the one to replace.
    const int slot = nextSlot_;
    nextSlot_ ^= 1;
    cachedRow_[slot] = row;
    const uint8_t* s = source + static_cast<size_t>(row) * static_cast<size_t>(source_.stride);
    // The next window row asked for lies one row on, up or down as the flip has it.
    const int64_t next = static_cast<int64_t>(row) + (rows_.front().first > rows_.back().first ? -1 : 1);
    if (next >= window_.firstRow && next < static_cast<int64_t>(window_.firstRow) + window_.height)
        prefetchRow(source + static_cast<size_t>(next) * static_cast<size_t>(source_.stride) +
                        static_cast<size_t>(window_.left) * kBytesPerPixel,
                    static_cast<size_t>(window_.width) * kBytesPerPixel);
    uint8_t* out = cache_[slot].data();
    size_t done = 0;
    const Vector vector = usable(vectorLimit_);
    if (vector != Vector::none) {
        if (vector == Vector::avx2)
            scaleAcrossAvx2(s, out);
        else
            scaleAcrossSsse3(s, out);
        done = blocks_.size() * 4;
        out += done * kBytesPerPixel;
    }
    for (size_t x = done; x < columns_.size(); ++x) {
        const Tap& c = columns_[x];
        const uint8_t* a = s + c.first;
        const uint8_t* b = s + c.second;
        out[0] = blendPair(a[0], b[0], c.weight);
        out[1] = blendPair(a[1], b[1], c.weight);
        out[2] = blendPair(a[2], b[2], c.weight);
        out += kBytesPerPixel;
    }
    return cache_[slot].data();
}

bool BilinearScaler::scale(const uint8_t* source, size_t sourceLength, uint8_t* destination,
                           size_t destinationLength) noexcept {
    if (!ready_ || !source || !destination) return false;
    const size_t sourceBytes = static_cast<size_t>(source_.stride) * static_cast<size_t>(source_.height);
    const size_t targetBytes = static_cast<size_t>(target_.stride) * static_cast<size_t>(target_.height);
    const uintptr_t s = reinterpret_cast<uintptr_t>(source), d = reinterpret_cast<uintptr_t>(destination);
    if (sourceLength < sourceBytes || destinationLength < targetBytes || (s < d + targetBytes && d < s + sourceBytes))
        return false;
    // Cached rows belong to the picture they were made from.
    cachedRow_[0] = cachedRow_[1] = UINT32_MAX;
    const size_t stride = static_cast<size_t>(target_.stride);
    const size_t channels = static_cast<size_t>(target_.width) * kBytesPerPixel;
    for (int y = 0; y < target_.height; ++y) {
        const Tap& r = rows_[static_cast<size_t>(y)];
        uint8_t* out = destination + static_cast<size_t>(y) * stride;
        const uint8_t* a = scaledRow(source, r.first);
        if (r.weight == 0) {
            std::memcpy(out, a, channels);
            continue;
        }
        const uint8_t* b = scaledRow(source, r.second);
        detail::blendRows(a, b, static_cast<int>(kWeightOne - r.weight), static_cast<int>(r.weight), out, channels,
                          vectorLimit_);
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
