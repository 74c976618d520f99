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
#endif

}  // namespace

namespace detail {

void blendRows(const uint8_t* a, const uint8_t* b, int wa, int wb, uint8_t* out, size_t count, bool allowVector) {
#ifdef VANTORFX_HAVE_SSSE3
    if (allowVector && haveSsse3()) {
        blendRowsSsse3(a, b, wa, wb, out, count);
        return;
    }
#else
    (void)allowVector;
#endif
    blendRowsPortable(a, b, wa, wb, out, count);
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

// Weights in 1/128: a row scaled across then fits a signed 16-bit lane (255 x 128), as the vector
// blend of two such rows needs.
constexpr uint32_t kWeightOne = 128;

// The two window samples around the centre of output sample i of outCount, mapped into inCount
// window samples (both ends held inside), and the second one's weight in 1/128.
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
        // Room for the last block's whole 16-byte store.
        for (auto& row : cache_) row.resize(static_cast<size_t>(format.width) * kBytesPerPixel + 16);
        blocks_.resize(static_cast<size_t>(format.width / 4));
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
    prepareBlocks();
    cachedRow_[0] = cachedRow_[1] = UINT32_MAX;
    ready_ = true;
    return true;
}

void ZoomScaler::prepareBlocks() {
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
        b.vector = high + kBytesPerPixel - low <= 16 && static_cast<int64_t>(low) + 16 <= format_.stride;
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
}

inline uint8_t blendPair(uint8_t a, uint8_t b, uint32_t wb) {
    return static_cast<uint8_t>((a * (kWeightOne - wb) + b * wb + 64) >> 7);
}

#ifdef VANTORFX_HAVE_SSSE3
// Four output pixels per block: the pairs picked out of one load, each multiplied by its weights
// and summed, divided by 128 with rounding, narrowed to bytes; the 16-byte store's last four bytes
// are the next block's to overwrite.
VANTORFX_VECTOR_FUNCTION void ZoomScaler::scaleAcrossVector(const uint8_t* row, uint8_t* out) const noexcept {
    const __m128i scale = _mm_set1_epi16(256);
    const Tap* column = columns_.data();
    for (size_t k = 0; k < blocks_.size(); ++k, out += 12, column += 4) {
        const Block& b = blocks_[k];
        if (!b.vector) {
            for (int p = 0; p < 4; ++p)
                for (int ch = 0; ch < 3; ++ch)
                    out[3 * p + ch] = blendPair(row[column[p].first + ch], row[column[p].second + ch], column[p].weight);
            continue;
        }
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + b.source));
        const __m128i low = _mm_maddubs_epi16(
            _mm_shuffle_epi8(pixels, _mm_loadu_si128(reinterpret_cast<const __m128i*>(b.pairsLow))),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(b.weights[0])));
        const __m128i high = _mm_maddubs_epi16(
            _mm_shuffle_epi8(pixels, _mm_loadu_si128(reinterpret_cast<const __m128i*>(b.pairsHigh))),
            _mm_loadu_si128(reinterpret_cast<const __m128i*>(b.weights[1])));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                         _mm_packus_epi16(_mm_mulhrs_epi16(low, scale), _mm_mulhrs_epi16(high, scale)));
    }
}
#else
void ZoomScaler::scaleAcrossVector(const uint8_t*, uint8_t*) const noexcept {}
#endif

const uint8_t* ZoomScaler::scaledRow(const uint8_t* source, uint32_t row) noexcept {
    for (int slot = 0; slot < 2; ++slot)
        if (cachedRow_[slot] == row) return cache_[slot].data();
    // Rows are asked for in order (or in reverse), so the older of the two is the one to replace.
    const int slot = nextSlot_;
    nextSlot_ ^= 1;
    cachedRow_[slot] = row;
    const uint8_t* s = source + static_cast<size_t>(row) * static_cast<size_t>(format_.stride);
    uint8_t* out = cache_[slot].data();
    size_t done = 0;
#ifdef VANTORFX_HAVE_SSSE3
    if (allowVector_ && haveSsse3()) {
        scaleAcrossVector(s, out);
        done = blocks_.size() * 4;
        out += done * kBytesPerPixel;
    }
#endif
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
        const uint8_t* a = scaledRow(source, r.first);
        if (r.weight == 0) {
            std::memcpy(d, a, channels);
            continue;
        }
        const uint8_t* b = scaledRow(source, r.second);
        detail::blendRows(a, b, static_cast<int>(kWeightOne - r.weight), static_cast<int>(r.weight), d, channels,
                          allowVector_);
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
