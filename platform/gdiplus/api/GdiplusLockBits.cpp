// Bitmap::LockBits and UnlockBits over libgdiplus, which departs from GDI+ in these ways:
// - it fills a lock record longer than BitmapData (its own fields follow the public ones), so the engine is
//   handed a record of its own size and the caller gets the public part;
// - a lock in the bitmap's own 32-bit format is a view of the pixels themselves, but always of the whole
//   bitmap: Scan0 points at the top-left pixel whatever the rectangle, a read lock copies the rectangle onto
//   itself and a write lock copies the view onto itself at unlock. The layer takes a read view of one pixel
//   and points into it;
// - bitmaps made for a drawing context hold premultiplied pixels (PixelFormat32bppPARGB), and a lock in
//   PixelFormat32bppARGB hands those premultiplied bytes over and takes straight ones back unconverted;
//   a PixelFormat32bppPARGB lock of a straight bitmap is not premultiplied. The layer converts both ways,
//   as GDI+ does;
// - other locks are copies: writes through a read lock in the bitmap's own format are lost (GDI+ keeps
//   them), and a write-only lock hands over a buffer of whatever memory held, all of it written back. The
//   layer has the engine read the pixels in for every lock and write an own-format lock back;
// - a caller's buffer (ImageLockModeUserInputBuf) is filled at the engine's stride, not the caller's. The
//   layer copies rows between the caller's buffer and the engine's at the caller's stride.
#include <cstdint>
#include <cstring>
#include <vector>

#include "../Gdiplus.h"
#include "../pipeline/Premultiply.h"
#include "WidePixels.h"

namespace Gdiplus {

struct Bitmap::LockState {
    // The engine's lock record: BitmapData followed by its own fields, zeroed before locking.
    struct EngineRecord {
        BitmapData data;
        BYTE engineFields[128];
    } record{};
    UINT flags = 0;
    BYTE* engine = nullptr;  // the locked rectangle's first pixel on the engine's side
    INT engineStride = 0;
    BYTE* pixels = nullptr;  // what the caller sees
    INT stride = 0;
    UINT height = 0;
    size_t rowBytes = 0;
    // How rows go from the engine's side to the caller's and back; null when the caller sees the engine's.
    void (*toCaller)(const BYTE*, BYTE*, size_t) = nullptr;
    void (*toEngine)(const BYTE*, BYTE*, size_t) = nullptr;
    std::vector<uint32_t> buffer;  // the caller's pixels when it brought no buffer of its own
};

namespace {

struct UnpremultiplyTable {
    BYTE value[256][256];
    UnpremultiplyTable()
    {
        for (uint32_t a = 1; a < 256; ++a)
            for (uint32_t c = 0; c < 256; ++c) {
                const uint32_t straight = (c * 255 + a / 2) / a;
                value[a][c] = static_cast<BYTE>(straight > 255 ? 255 : straight);
            }
    }
};

}  // namespace

uint32_t UnpremultiplyPixel(uint32_t pixel)
{
    static const UnpremultiplyTable table;
    const uint32_t a = pixel >> 24;
    if (a == 255 || a == 0) return a == 0 ? 0u : pixel;
    const BYTE* row = table.value[a];
    return a << 24 | uint32_t(row[(pixel >> 16) & 0xFF]) << 16 | uint32_t(row[(pixel >> 8) & 0xFF]) << 8 |
           row[pixel & 0xFF];
}

namespace {

// Premultiplied rows to straight ones in one pass, eight pixels at a time: plain pixels are the same in both
// forms, so a block without mixed ones is copied as it is. Written with SSE2 (every x86-64 has it): the
// compiler's own vectorisation of this loop kept the test in scalar registers.
PICTOR_ROW_CLONES void UnpremultiplyRow(const uint32_t* __restrict src, uint32_t* __restrict dst, UINT count)
{
    UINT i = 0;
    for (; i + 8 <= count; i += 8) {
        __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i + 4));
        Straight8(low, high);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), low);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i + 4), high);
    }
    for (; i < count; ++i) dst[i] = StraightPixel(src[i]);
}

// Straight rows to premultiplied ones, in one loop without branches that the compiler vectorises; it leaves
// opaque pixels as they are and makes transparent ones transparent black.
PICTOR_ROW_CLONES void PremultiplyRow(const uint32_t* __restrict src,
                                                                      uint32_t* __restrict dst, UINT count)
{
    for (UINT i = 0; i < count; ++i) dst[i] = PremultiplyPixel(src[i]);
}

// The row forms a lock passes pixels through, on byte rows of whole pixels.
void StraightRows(const BYTE* src, BYTE* dst, size_t bytes)
{
    UnpremultiplyRow(reinterpret_cast<const uint32_t*>(src), reinterpret_cast<uint32_t*>(dst),
                     static_cast<UINT>(bytes / 4));
}

void PremultipliedRows(const BYTE* src, BYTE* dst, size_t bytes)
{
    PremultiplyRow(reinterpret_cast<const uint32_t*>(src), reinterpret_cast<uint32_t*>(dst),
                   static_cast<UINT>(bytes / 4));
}

void SameRows(const BYTE* src, BYTE* dst, size_t bytes) { std::memcpy(dst, src, bytes); }

void ConvertRows(void (*convertRow)(const BYTE*, BYTE*, size_t), const BYTE* src, INT srcStride, BYTE* dst,
                 INT dstStride, size_t rowBytes, UINT height)
{
    for (UINT y = 0; y < height; ++y)
        convertRow(src + static_cast<ptrdiff_t>(y) * srcStride, dst + static_cast<ptrdiff_t>(y) * dstStride, rowBytes);
}

bool IsDirect32(PixelFormat format)
{
    return format == PixelFormat32bppARGB || format == PixelFormat32bppPARGB || format == PixelFormat32bppRGB;
}

// How a 32-bit lock of a 32-bit bitmap passes its rows (none when the engine must convert): the same rows
// in the bitmap's own format, premultiplied and straight rows in each other's.
struct RowForms {
    void (*toCaller)(const BYTE*, BYTE*, size_t) = nullptr;
    void (*toEngine)(const BYTE*, BYTE*, size_t) = nullptr;
};

RowForms Rows32(PixelFormat native, PixelFormat format)
{
    // The formats the engine cannot hold are converted by the layer from and to its 32-bit pixels.
    if (IsWideFormat(format)) {
        const WideRowForms wide = WideRows(native, format);
        return {wide.toCaller, wide.toEngine};
    }
    if (!IsDirect32(native) || !IsDirect32(format)) return {};
    if (format == native) return {SameRows, SameRows};
    if (native == PixelFormat32bppPARGB && format == PixelFormat32bppARGB) return {StraightRows, PremultipliedRows};
    if (native == PixelFormat32bppARGB && format == PixelFormat32bppPARGB) return {PremultipliedRows, StraightRows};
    return {};
}

// The bytes of a row of width pixels: a pixel format's second byte is its size in bits.
size_t RowBytes(PixelFormat format, UINT width)
{
    return (static_cast<size_t>(width) * ((format >> 8) & 0xFF) + 7) / 8;
}

}  // namespace

// A 32-bit bitmap is reached through a view of its own pixels: libgdiplus's own-format lock covers the
// whole bitmap and copies the locked rectangle onto itself at lock, so one pixel is locked and the
// rectangle found in it. Rows reach the caller unchanged (the view itself, unless the caller brought a
// buffer) or converted between premultiplied and straight.
Status Bitmap::LockView(const Rect& area, PixelFormat native, LockState& state, BitmapData& caller)
{
    Rect onePixel(0, 0, 1, 1);
    Status status =
        DllExports::GdipBitmapLockBits(NativeBitmap(), &onePixel, ImageLockModeRead, native, &state.record.data);
    if (status != Ok) return status;
    state.engineStride = state.record.data.Stride;
    state.engine = static_cast<BYTE*>(state.record.data.Scan0) + static_cast<ptrdiff_t>(area.Y) * state.engineStride +
                   static_cast<ptrdiff_t>(area.X) * 4;
    const bool userBuffer = (state.flags & ImageLockModeUserInputBuf) != 0;
    if (state.toCaller == SameRows && !userBuffer) {
        state.toCaller = state.toEngine = nullptr;  // writes go straight into the pixels
        state.pixels = state.engine;
        state.stride = state.engineStride;
        return Ok;
    }
    if (userBuffer) {
        state.pixels = static_cast<BYTE*>(caller.Scan0);
        state.stride = caller.Stride;
    } else {
        // Rows of 16- and 48-bit pixels are padded to whole 4-byte words, as GDI+ pads every stride.
        const size_t words = (state.rowBytes + 3) / 4;
        state.buffer.resize(words * state.height);
        state.pixels = reinterpret_cast<BYTE*>(state.buffer.data());
        state.stride = static_cast<INT>(words * 4);
    }
    // The layer's own buffer starts from the pixels there, for a write-only lock too, so that what the
    // caller does not write goes back as it was; a caller's buffer is the caller's to fill.
    if ((state.flags & ImageLockModeRead) || !userBuffer)
        ConvertRows(state.toCaller, state.engine, state.engineStride, state.pixels, state.stride, state.rowBytes,
                    state.height);
    return Ok;
}

// Other formats are converted by the engine into a buffer of its own. It reads the pixels in for every
// lock, so a write-only lock starts from them too, and a lock in the bitmap's own format writes back
// whatever is written, as GDI+'s own-format locks are the pixels themselves. A caller's buffer is filled
// from, and read back into, the engine's at the caller's stride.
Status Bitmap::LockConverted(const Rect& area, PixelFormat format, PixelFormat native, LockState& state,
                             BitmapData& caller)
{
    UINT engineFlags = (state.flags & ~static_cast<UINT>(ImageLockModeUserInputBuf)) | ImageLockModeRead;
    if (format == native) engineFlags |= ImageLockModeWrite;
    Rect rect = area;
    Status status = DllExports::GdipBitmapLockBits(NativeBitmap(), &rect, engineFlags, format, &state.record.data);
    if (status != Ok) return status;
    state.engine = static_cast<BYTE*>(state.record.data.Scan0);
    state.engineStride = state.record.data.Stride;
    state.pixels = state.engine;
    state.stride = state.engineStride;
    if (state.flags & ImageLockModeUserInputBuf) {
        state.toCaller = state.toEngine = SameRows;
        state.pixels = static_cast<BYTE*>(caller.Scan0);
        state.stride = caller.Stride;
        if (state.flags & ImageLockModeRead)
            ConvertRows(SameRows, state.engine, state.engineStride, state.pixels, state.stride, state.rowBytes,
                        state.height);
    }
    return Ok;
}

Status Bitmap::LockBits(const Rect* rect, UINT flags, PixelFormat format, BitmapData* lockedBitmapData)
{
    if (!lockedBitmapData) return SetStatus(InvalidParameter);
    if (lockState) return SetStatus(WrongState);

    DllExports::GpImage* image = NativeImage();
    UINT imageWidth = 0, imageHeight = 0;
    PixelFormat native = 0;
    Status status = DllExports::GdipGetImageWidth(image, &imageWidth);
    if (status == Ok) status = DllExports::GdipGetImageHeight(image, &imageHeight);
    if (status == Ok) status = DllExports::GdipGetImagePixelFormat(image, &native);
    if (status != Ok) return SetStatus(status);

    Rect area = rect ? *rect : Rect(0, 0, static_cast<INT>(imageWidth), static_cast<INT>(imageHeight));
    if (area.X < 0 || area.Y < 0 || area.Width <= 0 || area.Height <= 0 ||
        static_cast<int64_t>(area.X) + area.Width > imageWidth ||
        static_cast<int64_t>(area.Y) + area.Height > imageHeight)
        return SetStatus(InvalidParameter);
    const bool userBuffer = (flags & ImageLockModeUserInputBuf) != 0;
    if (userBuffer && (!lockedBitmapData->Scan0 || lockedBitmapData->Stride == 0)) return SetStatus(InvalidParameter);

    auto state = std::make_shared<LockState>();
    state->flags = flags;
    state->height = static_cast<UINT>(area.Height);
    state->rowBytes = RowBytes(format, static_cast<UINT>(area.Width));
    const RowForms rows = Rows32(native, format);
    state->toCaller = rows.toCaller;
    state->toEngine = rows.toEngine;
    status = rows.toCaller ? LockView(area, native, *state, *lockedBitmapData)
                           : LockConverted(area, format, native, *state, *lockedBitmapData);
    if (status != Ok) return SetStatus(status);

    lockedBitmapData->Width = static_cast<UINT>(area.Width);
    lockedBitmapData->Height = state->height;
    lockedBitmapData->Stride = state->stride;
    lockedBitmapData->PixelFormat = format;
    lockedBitmapData->Scan0 = state->pixels;
    lockedBitmapData->Reserved = 0;
    lockState = std::move(state);
    return Ok;
}

Status Bitmap::UnlockBits(BitmapData* lockedBitmapData)
{
    if (!lockedBitmapData) return SetStatus(InvalidParameter);
    if (!lockState) return SetStatus(Win32Error);
    std::shared_ptr<LockState> state = std::move(lockState);
    if (state->toEngine && (state->flags & ImageLockModeWrite))
        ConvertRows(state->toEngine, state->pixels, state->stride, state->engine, state->engineStride, state->rowBytes,
                    state->height);
    return SetStatus(DllExports::GdipBitmapUnlockBits(NativeBitmap(), &state->record.data));
}

}  // namespace Gdiplus
