// Bitmap::LockBits and UnlockBits over libgdiplus, which departs from GDI+ in three ways:
// - it fills a lock record longer than BitmapData (its own fields follow the public ones), so the engine is
//   handed a record of its own size and the caller gets the public part;
// - a lock in the bitmap's own format is a view of the pixels themselves, but always of the whole bitmap:
//   Scan0 points at the top-left pixel whatever the rectangle, a read lock copies the rectangle onto itself
//   and a write lock copies the view onto itself at unlock. The layer takes a read view of one pixel and
//   points into it;
// - bitmaps made for a drawing context hold premultiplied pixels (PixelFormat32bppPARGB), and a lock in
//   PixelFormat32bppARGB hands those premultiplied bytes over and takes straight ones back unconverted. The
//   layer converts, as GDI+ does.
#include <cstdint>
#include <cstring>
#include <vector>

#include "Gdiplus.h"
#include "Premultiply.h"

namespace Gdiplus {

struct Bitmap::LockState {
    // The engine's lock record: BitmapData followed by its own fields, zeroed before locking.
    struct EngineRecord {
        BitmapData data;
        BYTE engineFields[128];
    } record{};
    bool converted = false;  // straight pixels for the caller over premultiplied ones in the engine
    UINT flags = 0;
    BYTE* view = nullptr;  // the locked rectangle's first pixel in the engine's view
    INT viewStride = 0;
    BYTE* pixels = nullptr;  // what the caller sees
    INT stride = 0;
    UINT width = 0;
    UINT height = 0;
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

template <void (*ConvertRow)(const uint32_t*, uint32_t*, UINT)>
void ConvertRows(const BYTE* src, INT srcStride, BYTE* dst, INT dstStride, UINT width, UINT height)
{
    for (UINT y = 0; y < height; ++y)
        ConvertRow(reinterpret_cast<const uint32_t*>(src + static_cast<ptrdiff_t>(y) * srcStride),
                   reinterpret_cast<uint32_t*>(dst + static_cast<ptrdiff_t>(y) * dstStride), width);
}

bool IsDirect32(PixelFormat format)
{
    return format == PixelFormat32bppARGB || format == PixelFormat32bppPARGB || format == PixelFormat32bppRGB;
}

}  // namespace

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

    auto state = std::make_shared<LockState>();
    state->flags = flags;
    state->width = static_cast<UINT>(area.Width);
    state->height = static_cast<UINT>(area.Height);
    state->converted = format == PixelFormat32bppARGB && native == PixelFormat32bppPARGB;
    const bool direct = format == native && IsDirect32(format) && (flags & ImageLockModeUserInputBuf) == 0;

    if (direct || state->converted) {
        // A read lock in the bitmap's own format: a view of all the pixels themselves, and nothing copied back
        // at unlock, since writes go straight into them. The engine copies the locked rectangle onto itself
        // at lock, so one pixel is locked.
        Rect onePixel(0, 0, 1, 1);
        status = DllExports::GdipBitmapLockBits(NativeBitmap(), &onePixel, ImageLockModeRead, native, &state->record.data);
        if (status != Ok) return SetStatus(status);
        state->viewStride = state->record.data.Stride;
        state->view = static_cast<BYTE*>(state->record.data.Scan0) +
                      static_cast<ptrdiff_t>(area.Y) * state->viewStride + static_cast<ptrdiff_t>(area.X) * 4;
        state->pixels = state->view;
        state->stride = state->viewStride;
        if (state->converted) {
            if (flags & ImageLockModeUserInputBuf) {
                state->pixels = static_cast<BYTE*>(lockedBitmapData->Scan0);
                state->stride = lockedBitmapData->Stride;
            } else {
                state->buffer.resize(static_cast<size_t>(state->width) * state->height);
                state->pixels = reinterpret_cast<BYTE*>(state->buffer.data());
                state->stride = static_cast<INT>(state->width * 4);
            }
            if (flags & ImageLockModeRead)
                ConvertRows<UnpremultiplyRow>(state->view, state->viewStride, state->pixels, state->stride,
                                              state->width, state->height);
        }
    } else {
        state->record.data.Scan0 = lockedBitmapData->Scan0;
        state->record.data.Stride = lockedBitmapData->Stride;
        status = DllExports::GdipBitmapLockBits(NativeBitmap(), &area, flags, format, &state->record.data);
        if (status != Ok) return SetStatus(status);
        state->pixels = static_cast<BYTE*>(state->record.data.Scan0);
        state->stride = state->record.data.Stride;
    }

    lockedBitmapData->Width = state->width;
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
    if (state->converted && (state->flags & ImageLockModeWrite))
        ConvertRows<PremultiplyRow>(state->pixels, state->stride, state->view, state->viewStride, state->width,
                                    state->height);
    return SetStatus(DllExports::GdipBitmapUnlockBits(NativeBitmap(), &state->record.data));
}

}  // namespace Gdiplus
