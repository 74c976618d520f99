// Per-frame pixel work of the Vantor Image Effects filter: copy, mirror, flip and centre zoom of
// packed 24-bit frames. Free of Windows headers and of the main program's code, so the filter
// links it alone and the native build tests it under the sanitizers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vantorfx {

// One frame as it sits in a sample buffer. Rows are counted in memory order; `height` is always
// positive and `topDown` records what a negative DIB height meant.
struct FrameFormat {
    int width = 0;          // pixels per row
    int height = 0;         // rows
    int bytesPerPixel = 0;  // only 3 (RGB24, blue-green-red) is accepted
    int stride = 0;         // bytes from one memory row to the next, filler included
    bool topDown = false;   // first memory row is the top of the picture
};

// Fills `out` from a DIB header's width, signed height and bit count with the DIB row pitch
// (rounded up to 4 bytes). False when the result is not accepted.
bool formatFromDib(int32_t width, int32_t height, int bitCount, FrameFormat& out);

// Vector code the kernels can use, in order of width; each is taken only where the processor has it.
enum class Vector { none, ssse3, avx2 };

// The widest the processor offers (checked once, at first use).
Vector vectorSupport() noexcept;

// Whether the kernels can process frames of this shape at all: positive sizes, RGB24, a stride
// holding a whole row, and a frame size that fits the address space. Zoom, narrow or portrait
// shapes and row filler never cause a refusal.
bool accepts(const FrameFormat& format);

// Bytes a buffer must hold for one frame (stride x height); 0 when the format is not accepted.
size_t frameBytes(const FrameFormat& format);

// Whether a buffer of `length` bytes holds a whole frame of an accepted format.
bool fitsBuffer(const FrameFormat& format, size_t length);

// Factors of 1.0 and below (and NaN) are stored by the filter but leave the frame unzoomed.
bool zooms(float zoom);

// The centre window a zoom factor cuts out, in source pixels and memory rows.
struct ZoomWindow {
    int scaledHeight = 0;  // frame height / zoom, truncated
    int width = 0;         // window width: 4:3 of scaledHeight, a multiple of 4 (or the frame width)
    int height = 0;        // window height: 3/4 of the 4:3 width
    int left = 0;          // first source column
    int margin = 0;        // (frame height - window height) / 2
    int firstRow = 0;      // first memory row; the window covers height rows from here
};

// False (window untouched) when the factor does not zoom or the format is not accepted. The window
// always lies inside the frame: wider than the frame it takes the frame's width, at a margin of 0
// it starts at the frame's edge, and too small to hold a pixel it becomes 4 x 3 (or the frame).
bool zoomWindow(const FrameFormat& format, float zoom, ZoomWindow& out);

// Unzoomed frame from `source` into `destination` (same format): mirror reverses the pixels of each
// row, flip reverses the order of the rows, both turn the picture by half a turn. Only pixel bytes
// are written; row filler in the destination is left as it was. False, touching nothing, for a
// refused format, a missing or too short buffer, or buffers that overlap.
bool copyFrame(const FrameFormat& format, const uint8_t* source, size_t sourceLength, uint8_t* destination,
               size_t destinationLength, bool mirror, bool flip);

// A window of a packed 24-bit picture scaled to another size by bilinear interpolation: each
// output pixel's centre is mapped into the window and the four window pixels around it are weighted
// by their distance (1/128 steps), so that enlarged text stays smooth; mirrored and flipped as
// asked. The column and row tables are built by prepare() and kept until it is given other
// numbers, so steady use allocates nothing. Not thread-safe: one object per thread.
class BilinearScaler {
public:
    // A picture as memory holds it: pixels per row, rows, bytes from one row to the next.
    struct Rows {
        int width = 0;
        int height = 0;
        int stride = 0;
        bool operator==(const Rows& o) const { return width == o.width && height == o.height && stride == o.stride; }
    };
    // The part of the source to scale, in pixels and memory rows.
    struct Window {
        int left = 0;
        int firstRow = 0;
        int width = 0;
        int height = 0;
        bool operator==(const Window& o) const {
            return left == o.left && firstRow == o.firstRow && width == o.width && height == o.height;
        }
    };

    // False when a shape is empty, a stride holds no whole row, the window leaves the source or
    // memory runs out; scale() then refuses until a successful prepare().
    bool prepare(const Rows& source, const Window& window, const Rows& target, bool mirror, bool flip) noexcept;

    // Writes the whole target (pixel bytes only; row filler is left as it was). False, touching
    // nothing, when not prepared, a buffer is missing or too short, or the buffers overlap.
    bool scale(const uint8_t* source, size_t sourceLength, uint8_t* destination, size_t destinationLength) noexcept;

    // The widest vector code to use (the processor's best at most); Vector::none leaves the work to
    // the portable code, the reference the vector paths are held to.
    void limitVector(Vector limit) noexcept { vectorLimit_ = limit; }

    // Where one output sample takes its two neighbours from and how much of the second (0..127).
    struct Tap {
        uint32_t first;   // byte offset in a row (columns) or memory row (rows)
        uint32_t second;
        uint32_t weight;  // in 1/128
    };

private:
    // The window row `row` scaled across (rounded to bytes), cached by row.
    const uint8_t* scaledRow(const uint8_t* source, uint32_t row) noexcept;

    bool ready_ = false;
    Rows source_{}, target_{};
    Window window_{};
    bool mirror_ = false;
    bool flip_ = false;
    // Four output pixels at a time, all their taps inside one 16-byte load from `source`: the byte
    // pairs to multiply (for channels 0-7 and 8-11) and their weights, a pair per 16-bit lane.
    struct Block {
        uint32_t source;
        bool vector;  // false where the load would pass the end of the row's stride
        uint8_t pairsLow[16];
        uint8_t pairsHigh[16];
        int8_t weights[2][16];
    };
    // Blocks 2k and 2k + 1 side by side for 256-bit registers, all a row needs in one place.
    struct BlockPair {
        uint32_t source[2];
        bool vector;  // both blocks are
        uint8_t pairsLow[32];
        uint8_t pairsHigh[32];
        int8_t weights[2][32];
    };
    void prepareBlocks();
    void scaleBlock(const uint8_t* row, size_t k, uint8_t* out) const noexcept;
    void scaleAcrossSsse3(const uint8_t* row, uint8_t* out) const noexcept;
    void scaleAcrossAvx2(const uint8_t* row, uint8_t* out) const noexcept;

    Vector vectorLimit_ = Vector::avx2;
    std::vector<Block> blocks_;
    std::vector<BlockPair> pairs_;
    std::vector<Tap> columns_;
    std::vector<Tap> rows_;
    std::vector<uint8_t> cache_[2];
    uint32_t cachedRow_[2] = {UINT32_MAX, UINT32_MAX};
    int nextSlot_ = 0;
};

// Scales the zoom window, mirrored and flipped as asked, up to the full frame (a BilinearScaler
// kept prepared while the frame shape, the zoom and the flags stay).
class ZoomScaler {
public:
    // False when the format is refused, the factor does not zoom or memory runs out; scale() then
    // refuses until a successful prepare().
    bool prepare(const FrameFormat& format, float zoom, bool mirror, bool flip) noexcept;

    // Writes a whole frame of the prepared format (pixel bytes only). False, touching nothing, when
    // not prepared, a buffer is missing or too short, or the buffers overlap.
    bool scale(const uint8_t* source, size_t sourceLength, uint8_t* destination, size_t destinationLength) noexcept;

    const ZoomWindow& window() const { return window_; }

    void limitVector(Vector limit) noexcept { scaler_.limitVector(limit); }

private:
    bool ready_ = false;
    FrameFormat format_{};
    float zoom_ = 0.0f;
    bool mirror_ = false;
    bool flip_ = false;
    ZoomWindow window_{};
    BilinearScaler scaler_;
};

struct Effects {
    bool mirror = false;
    bool flip = false;
    float zoom = 1.0f;
};

// One frame with the given effects: unzoomed through copyFrame, zoomed through `scaler` (prepared
// here when needed). False, as those two, when the frame cannot be processed.
bool transformFrame(const FrameFormat& format, const Effects& effects, const uint8_t* source, size_t sourceLength,
                    uint8_t* destination, size_t destinationLength, ZoomScaler& scaler) noexcept;

namespace detail {

// The row mirror behind copyFrame, open to tests so the vector path (taken when the processor
// has SSSE3) and the portable one can be held to the same result.
void mirrorRow(const uint8_t* source, uint8_t* destination, int width, Vector limit);

// The vertical blend of the zoom: (a x wa + b x wb) / 128 rounded, weights 0..127 that sum to 128
// (an exact row is blended with itself at 64 and 64). The vector paths (SSSE3, AVX2, up to `limit`
// and what the processor has) and the portable one agree exactly.
void blendRows(const uint8_t* a, const uint8_t* b, int wa, int wb, uint8_t* out, size_t count, Vector limit);

}  // namespace detail

}  // namespace vantorfx
