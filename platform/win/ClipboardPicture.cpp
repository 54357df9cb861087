#include "ClipboardPicture.h"

#include <emmintrin.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>
#include <vector>

#include "../gdiplus/Gdiplus.h"
#include "../gdiplus/pipeline/Premultiply.h"
#include "Stream.h"

namespace {

// Straight pixels over opaque white, in place: each colour premultiplied (rounded, as the layer does it)
// plus 255 - alpha.
void StraightOverWhite(uint32_t* pixels, int count)
{
    for (int i = 0; i < count; ++i) {
        uint32_t alpha = pixels[i] >> 24;
        if (alpha == 255) continue;
        uint32_t colour = Gdiplus::PremultiplyPixel(pixels[i]) & 0x00FFFFFFu;
        pixels[i] = 0xFF000000u | (colour + (255 - alpha) * 0x010101u);
    }
}

}  // namespace

void PremultipliedOverWhite(const uint32_t* pixels, uint32_t* out, int count)
{
    int i = 0;
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    for (; i + 4 <= count; i += 4) {
        __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + i));
        __m128i rest = _mm_sub_epi32(_mm_set1_epi32(255), _mm_srli_epi32(p, 24));
        __m128i spread = _mm_or_si128(rest, _mm_or_si128(_mm_slli_epi32(rest, 8), _mm_slli_epi32(rest, 16)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_or_si128(_mm_adds_epu8(p, spread), opaque));
    }
    for (; i < count; ++i) {
        uint32_t p = pixels[i], rest = 255 - (p >> 24), result = 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8)
            result |= std::min<uint32_t>(((p >> shift) & 0xFF) + rest, 255) << shift;
        out[i] = result;
    }
}

// The bitmap a picture is decoded into, with a view of its pixels while it is filled.
class ClipboardPictureDecoder::Target {
public:
    ~Target()
    {
        if (m_bitmap && m_locked) m_bitmap->UnlockBits(&m_view);
    }

    // False when the size cannot be held or `make` refuses it.
    bool Make(const PictureBitmapMaker& make, int width, int height)
    {
        if (width <= 0 || height <= 0 || !Gdiplus::BitmapSizeFits(width, height)) return false;
        try {
            m_bitmap.reset(make(width, height));
        } catch (const std::bad_alloc&) {
            return false;
        }
        if (!m_bitmap || m_bitmap->GetLastStatus() != Gdiplus::Ok || m_bitmap->GetWidth() != static_cast<UINT>(width) ||
            m_bitmap->GetHeight() != static_cast<UINT>(height))
            return false;
        // A lock in the bitmap's own 32-bit format is a view of its pixels: they are written in place.
        Gdiplus::PixelFormat format = m_bitmap->GetPixelFormat();
        if (format != PixelFormat32bppARGB && format != PixelFormat32bppPARGB && format != PixelFormat32bppRGB)
            return false;
        m_locked = m_bitmap->LockBits(nullptr, Gdiplus::ImageLockModeRead | Gdiplus::ImageLockModeWrite, format,
                                      &m_view) == Gdiplus::Ok;
        return m_locked;
    }

    bool Made() const { return m_locked; }
    int Width() const { return static_cast<int>(m_view.Width); }
    int Height() const { return static_cast<int>(m_view.Height); }
    uint32_t* Row(int y) const
    {
        return reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(m_view.Scan0) +
                                           static_cast<ptrdiff_t>(y) * m_view.Stride);
    }

    std::unique_ptr<Gdiplus::Bitmap> Release()
    {
        if (m_locked) m_bitmap->UnlockBits(&m_view);
        m_locked = false;
        return std::move(m_bitmap);
    }

private:
    std::unique_ptr<Gdiplus::Bitmap> m_bitmap;
    Gdiplus::BitmapData m_view{};
    bool m_locked = false;
};

// How the bytes of one file type become the target's pixels.
class ClipboardPictureDecoder::Format {
public:
    Format(Target& target, const PictureBitmapMaker& make) : m_target(target), m_make(make) {}
    virtual ~Format() = default;
    Format(const Format&) = delete;
    Format& operator=(const Format&) = delete;

    // False when the bytes are no picture.
    virtual bool Take(const uint8_t* bytes, size_t size) = 0;
    // True when the whole picture is in the target.
    virtual bool Finish() = 0;

protected:
    Target& m_target;
    const PictureBitmapMaker& m_make;
};

namespace {

using Target = ClipboardPictureDecoder::Target;
using Format = ClipboardPictureDecoder::Format;

// libpng's messages stay off the terminal; an error unwinds to the call that fed the bytes.
void PngFail(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void PngIgnore(png_structp, png_const_charp) {}

// A PNG, decoded by libpng's progressive reader as its bytes come: each row goes straight into the
// target as 8-bit BGRA. Rows with transparency are laid over white as they come, or, for an interlaced
// picture, once its last pass is in.
class PngFormat final : public Format {
public:
    PngFormat(Target& target, const PictureBitmapMaker& make) : Format(target, make)
    {
        m_png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngFail, PngIgnore);
        m_info = m_png ? png_create_info_struct(m_png) : nullptr;
        m_failed = !m_info;
        if (!m_failed) png_set_progressive_read_fn(m_png, this, OnInfo, OnRow, OnEnd);
    }
    ~PngFormat() override { png_destroy_read_struct(&m_png, m_info ? &m_info : nullptr, nullptr); }

    bool Take(const uint8_t* bytes, size_t size) override
    {
        // Whatever follows the end of the picture is not looked at.
        if (!m_failed && !m_ended) m_failed = !Process(bytes, size);
        return !m_failed;
    }

    bool Finish() override { return !m_failed && m_ended; }

private:
    static PngFormat& Of(png_structp png) { return *static_cast<PngFormat*>(png_get_progressive_ptr(png)); }

    // libpng's error jumps back here; the frame holds nothing to destroy, and neither do the callbacks
    // at the point they raise one.
    bool Process(const uint8_t* bytes, size_t size)
    {
        if (setjmp(png_jmpbuf(m_png))) return false;
        png_process_data(m_png, m_info, const_cast<png_bytep>(bytes), size);
        return true;
    }

    static void OnInfo(png_structp png, png_infop info)
    {
        if (!Of(png).Prepare(info)) png_error(png, "refused");
    }

    // The expansions to 8-bit BGRA, then the target at the picture's size.
    bool Prepare(png_infop info)
    {
        const int depth = png_get_bit_depth(m_png, info), type = png_get_color_type(m_png, info);
        m_transparent = (type & PNG_COLOR_MASK_ALPHA) || png_get_valid(m_png, info, PNG_INFO_tRNS);
        m_interlaced = png_get_interlace_type(m_png, info) != PNG_INTERLACE_NONE;
        if (depth == 16) png_set_strip_16(m_png);
        png_set_expand(m_png);
        png_set_gray_to_rgb(m_png);
        png_set_bgr(m_png);
        png_set_add_alpha(m_png, 0xFF, PNG_FILLER_AFTER);
        png_set_interlace_handling(m_png);
        png_read_update_info(m_png, info);
        const auto width = png_get_image_width(m_png, info), height = png_get_image_height(m_png, info);
        return png_get_rowbytes(m_png, info) == static_cast<size_t>(width) * 4 &&
               m_target.Make(m_make, static_cast<int>(width), static_cast<int>(height));
    }

    static void OnRow(png_structp png, png_bytep row, png_uint_32 y, int)
    {
        PngFormat& self = Of(png);
        if (!row || y >= static_cast<png_uint_32>(self.m_target.Height())) return;
        uint32_t* out = self.m_target.Row(static_cast<int>(y));
        png_progressive_combine_row(png, reinterpret_cast<png_bytep>(out), row);
        if (self.m_transparent && !self.m_interlaced) StraightOverWhite(out, self.m_target.Width());
    }

    static void OnEnd(png_structp png, png_infop)
    {
        PngFormat& self = Of(png);
        if (self.m_transparent && self.m_interlaced)
            for (int y = 0; y < self.m_target.Height(); ++y)
                StraightOverWhite(self.m_target.Row(y), self.m_target.Width());
        self.m_ended = true;
    }

    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
    bool m_failed = false;
    bool m_ended = false;
    bool m_transparent = false;
    bool m_interlaced = false;
};

// Any picture file, kept whole in a stream as it comes, then decoded by the engine and laid over white
// into the target a band of rows at a time.
class EngineFormat final : public Format {
public:
    EngineFormat(Target& target, const PictureBitmapMaker& make) : Format(target, make)
    {
        if (CreateStreamOnHGlobal(nullptr, TRUE, &m_stream) != S_OK) m_stream = nullptr;
    }
    ~EngineFormat() override
    {
        if (m_stream) m_stream->Release();
    }

    bool Take(const uint8_t* bytes, size_t size) override
    {
        while (m_stream && size > 0) {
            ULONG piece = static_cast<ULONG>(std::min<size_t>(size, 1u << 30)), written = 0;
            if (m_stream->Write(bytes, piece, &written) != S_OK) return false;
            bytes += piece;
            size -= piece;
        }
        return m_stream != nullptr;
    }

    bool Finish() override
    {
        LARGE_INTEGER start{};
        if (!m_stream || m_stream->Seek(start, STREAM_SEEK_SET, nullptr) != S_OK) return false;
        Gdiplus::Bitmap picture(m_stream);
        if (picture.GetLastStatus() != Gdiplus::Ok) return false;
        const int width = static_cast<int>(picture.GetWidth()), height = static_cast<int>(picture.GetHeight());
        if (!m_target.Make(m_make, width, height)) return false;
        const int bandRows = std::max(1, (1 << 20) / (width * 4));
        for (int first = 0; first < height; first += bandRows) {
            Gdiplus::Rect band(0, first, width, std::min(bandRows, height - first));
            Gdiplus::BitmapData data{};
            if (picture.LockBits(&band, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok)
                return false;
            for (int y = 0; y < band.Height; ++y) {
                uint32_t* row = m_target.Row(first + y);
                std::memcpy(row, static_cast<const uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride,
                            static_cast<size_t>(width) * 4);
                StraightOverWhite(row, width);
            }
            picture.UnlockBits(&data);
        }
        return true;
    }

private:
    IStream* m_stream = nullptr;
};

// A BMP: an uncompressed 24-bit one (as pictor's helper sends) goes row by row into the target as its
// bytes come; any other is left to the engine.
class BmpFormat final : public Format {
public:
    using Format::Format;

    bool Take(const uint8_t* bytes, size_t size) override
    {
        while (!m_engine && !m_failed && !m_target.Made() && size > 0) {
            size_t used = TakeHeader(bytes, size);
            bytes += used;
            size -= used;
        }
        if (m_engine) return m_engine->Take(bytes, size);
        return !m_failed && TakeRows(bytes, size);
    }

    bool Finish() override
    {
        if (m_engine) return m_engine->Finish();
        return !m_failed && m_target.Made() && m_rowsDone == m_target.Height();
    }

private:
    // The file header, with the information header's own size; then the whole information header.
    static constexpr size_t kStart = 18;
    static constexpr size_t kLargestInfo = 1024;

    uint32_t Field(size_t at, int size) const
    {
        uint32_t value = 0;
        for (int i = size; i-- > 0;) value = value << 8 | m_head[at + static_cast<size_t>(i)];
        return value;
    }
    size_t HeaderSize() const { return m_head.size() < kStart ? kStart : 14 + Field(14, 4); }

    // Gathers the headers; once they are in, makes the target for an uncompressed 24-bit picture or hands
    // everything so far to the engine. The count of bytes used.
    size_t TakeHeader(const uint8_t* bytes, size_t size)
    {
        size_t used = std::min(size, HeaderSize() - m_head.size());
        m_head.insert(m_head.end(), bytes, bytes + used);
        if (m_head.size() == kStart) {
            uint32_t info = Field(14, 4);
            if (m_head[0] != 'B' || m_head[1] != 'M' || info < 40 || info > kLargestInfo) HandToEngine();
        } else if (m_head.size() == HeaderSize()) {
            StartRows();
        }
        return used;
    }

    void StartRows()
    {
        const auto width = static_cast<int32_t>(Field(18, 4)), height = static_cast<int32_t>(Field(22, 4));
        const bool uncompressed24 = Field(26, 2) == 1 && Field(28, 2) == 24 && Field(30, 4) == 0;
        if (!uncompressed24 || width <= 0 || height == 0 || height == INT32_MIN) {
            HandToEngine();
            return;
        }
        m_topDown = height < 0;
        m_rowSize = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
        m_skip = static_cast<int64_t>(Field(10, 4)) - static_cast<int64_t>(m_head.size());
        m_failed = m_skip < 0 || !m_target.Make(m_make, width, m_topDown ? -height : height);
    }

    void HandToEngine()
    {
        m_engine = std::make_unique<EngineFormat>(m_target, m_make);
        m_failed = !m_engine->Take(m_head.data(), m_head.size());
    }

    // Rows in file order (from the bottom unless the height is negative), widened to 4 bytes a pixel;
    // bytes past the last row are not looked at.
    bool TakeRows(const uint8_t* bytes, size_t size)
    {
        size_t skipped = static_cast<size_t>(std::min<int64_t>(m_skip, static_cast<int64_t>(size)));
        m_skip -= static_cast<int64_t>(skipped);
        bytes += skipped;
        size -= skipped;
        while (size > 0 && m_rowsDone < m_target.Height()) {
            size_t used = std::min(size, m_rowSize - m_row.size());
            const uint8_t* row = bytes;
            bool buffered = !m_row.empty() || used < m_rowSize;
            if (buffered) m_row.insert(m_row.end(), bytes, bytes + used);
            bytes += used;
            size -= used;
            if (buffered && m_row.size() < m_rowSize) break;
            int y = m_topDown ? m_rowsDone : m_target.Height() - 1 - m_rowsDone;
            WidenRow(buffered ? m_row.data() : row, m_target.Row(y), m_target.Width());
            m_row.clear();
            ++m_rowsDone;
        }
        return true;
    }

    static void WidenRow(const uint8_t* bgr, uint32_t* out, int width)
    {
        for (int x = 0; x < width; ++x, bgr += 3)
            out[x] = 0xFF000000u | uint32_t(bgr[2]) << 16 | uint32_t(bgr[1]) << 8 | bgr[0];
    }

    std::vector<uint8_t> m_head;
    std::vector<uint8_t> m_row;  // a row split between two increments
    std::unique_ptr<EngineFormat> m_engine;
    size_t m_rowSize = 0;
    int64_t m_skip = 0;
    int m_rowsDone = 0;
    bool m_topDown = false;
    bool m_failed = false;
};

}  // namespace

ClipboardPictureDecoder::ClipboardPictureDecoder(PictureBitmapMaker make)
    : m_make(std::move(make)), m_target(std::make_unique<Target>())
{
}

ClipboardPictureDecoder::~ClipboardPictureDecoder() = default;

bool ClipboardPictureDecoder::Begin(DesktopPictureType type)
{
    if (type == DesktopPictureType::Png)
        m_format = std::make_unique<PngFormat>(*m_target, m_make);
    else
        m_format = std::make_unique<BmpFormat>(*m_target, m_make);
    return true;
}

bool ClipboardPictureDecoder::Take(const uint8_t* bytes, size_t size)
{
    return m_format && m_format->Take(bytes, size);
}

std::unique_ptr<Gdiplus::Bitmap> ClipboardPictureDecoder::Finish()
{
    if (!m_format || !m_format->Finish()) return nullptr;
    return m_target->Release();
}
