// Texture brushes at device pixels: the brush's image laid from the world origin, through the brush transform
// and the world transform, each device pixel the image pixel under its centre; beyond the image the copies
// tile, mirror every other copy across x, y or both (TileFlipX, TileFlipY, TileFlipXY), or are transparent
// (Clamp).
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "../Gdiplus.h"
#include "../engine/GdiplusFlatPaint.h"
#include "Paint.h"
#include "PixelView.h"
#include "Premultiply.h"

namespace Gdiplus {

namespace {

struct ImageDisposer {
    void operator()(DllExports::GpImage* image) const { DllExports::GdipDisposeImage(image); }
};

// An image's pixels in another format, converted by the engine to straight 32bppARGB and premultiplied here.
bool ConvertedPixels(DllExports::GpImage* image, INT* width, INT* height, std::vector<uint32_t>* pixels)
{
    UINT w = 0, h = 0;
    if (DllExports::GdipGetImageWidth(image, &w) != Ok || DllExports::GdipGetImageHeight(image, &h) != Ok || w == 0 ||
        h == 0 || !BitmapSizeFits(w, h))
        return false;
    struct {
        BitmapData data;
        BYTE engineFields[128];  // libgdiplus writes its own fields after the public ones
    } lock{};
    auto* bitmap = reinterpret_cast<DllExports::GpBitmap*>(image);
    const Rect whole(0, 0, INT(w), INT(h));
    if (DllExports::GdipBitmapLockBits(bitmap, &whole, ImageLockModeRead, PixelFormat32bppARGB, &lock.data) != Ok)
        return false;
    pixels->resize(size_t(w) * h);
    for (UINT y = 0; y < h; ++y) {
        const auto* row =
            static_cast<const uint32_t*>(lock.data.Scan0) + static_cast<ptrdiff_t>(y) * lock.data.Stride / 4;
        for (UINT x = 0; x < w; ++x) (*pixels)[size_t(y) * w + x] = PremultiplyPixel(row[x]);
    }
    DllExports::GdipBitmapUnlockBits(bitmap, &lock.data);
    *width = INT(w), *height = INT(h);
    return true;
}

// The brush's image as premultiplied pixels. The engine hands over a copy of it, made without a context (a
// 32bppARGB copy holds straight pixels); a large 32-bit copy is read where it lies, through a pixel view,
// each pixel converted as it is sampled, since a fill samples far fewer pixels than a large image holds.
// Small images and those of other formats are converted and copied once.
class TexturePixels {
public:
    explicit TexturePixels(DllExports::GpTexture* texture)
    {
        DllExports::GpImage* made = nullptr;
        if (DllExports::GdipGetTextureImage(texture, &made) != Ok || !made) return;
        image.reset(made);  // the engine's own copy, which nothing else touches while it is viewed
        view = std::make_unique<PixelView>(made, ViewedFormats::Any);
        if (view->Valid() && BitmapSizeFits(UINT(view->Width()), UINT(view->Height()))) {
            width = view->Width(), height = view->Height();
            kind = view->Opaque() ? Kind::Opaque : (view->Straight() ? Kind::Straight : Kind::Premultiplied);
            if (int64_t(width) * height > kMostCopied) return;
            // A small tile, which a fill samples many times over, is converted once.
            copy.resize(size_t(width) * size_t(height));
            for (INT y = 0; y < height; ++y)
                for (INT x = 0; x < width; ++x) copy[size_t(y) * size_t(width) + size_t(x)] = Converted(x, y);
            view.reset();
            return;
        }
        view.reset();
        // The engine hands a 32-bit bitmap's pixels over in its own form whatever a lock asks for: one the
        // view did not take is not read as straight here.
        PixelFormat own = 0;
        if (DllExports::GdipGetImagePixelFormat(made, &own) != Ok || own == PixelFormat32bppPARGB ||
            own == PixelFormat32bppARGB || own == PixelFormat32bppRGB)
            return;
        if (!ConvertedPixels(made, &width, &height, &copy)) width = height = 0;
    }

    bool Valid() const { return width > 0 && height > 0; }
    INT Width() const { return width; }
    INT Height() const { return height; }

    // The premultiplied pixel at (column, row), inside the image.
    uint32_t At(INT column, INT row) const
    {
        return view ? Converted(column, row) : copy[size_t(row) * size_t(width) + size_t(column)];
    }

private:
    enum class Kind { Premultiplied, Straight, Opaque };
    // Images of more pixels than this are sampled where they lie.
    static constexpr int64_t kMostCopied = int64_t(1) << 16;

    uint32_t Converted(INT column, INT row) const
    {
        const uint32_t pixel = view->Row(row)[column];
        if (kind == Kind::Opaque) return pixel | 0xFF000000u;
        return kind == Kind::Straight ? PremultiplyPixel(pixel) : pixel;
    }

    std::unique_ptr<DllExports::GpImage, ImageDisposer> image;  // outlives the view of it
    std::unique_ptr<PixelView> view;
    std::vector<uint32_t> copy;
    INT width = 0, height = 0;
    Kind kind = Kind::Premultiplied;
};

// Where a coordinate falls in an image of that many pixels, the copies tiled or mirrored every other one; -1
// outside the one copy when clamped.
INT Wrapped(double at, INT size, bool mirrored, bool clamped)
{
    if (!std::isfinite(at) || std::fabs(at) > 1e9) return -1;
    const auto whole = static_cast<long long>(std::floor(at));
    if (clamped) return whole >= 0 && whole < size ? INT(whole) : -1;
    const long long period = mirrored ? 2LL * size : size;
    long long inside = whole % period;
    if (inside < 0) inside += period;
    return INT(inside < size ? inside : period - 1 - inside);
}

class TextureShader final : public Shader {
public:
    TextureShader(const DeviceMap& deviceToImage, WrapMode wrap, std::unique_ptr<TexturePixels> pixels)
        : toImage(deviceToImage), pixels(std::move(pixels)),
          flipX(wrap == WrapModeTileFlipX || wrap == WrapModeTileFlipXY),
          flipY(wrap == WrapModeTileFlipY || wrap == WrapModeTileFlipXY), clamped(wrap == WrapModeClamp)
    {
    }

    void Span(INT x, INT y, INT count, uint32_t* out) const override
    {
        // Sampled under each device pixel's centre, half a pixel in from its corner.
        const double cx = x + 0.5, cy = y + 0.5;
        double u = cx * toImage.m11 + cy * toImage.m21 + toImage.dx;
        double v = cx * toImage.m12 + cy * toImage.m22 + toImage.dy;
        const INT width = pixels->Width(), height = pixels->Height();
        for (INT i = 0; i < count; ++i, u += toImage.m11, v += toImage.m12) {
            const INT column = Wrapped(u, width, flipX, clamped), row = Wrapped(v, height, flipY, clamped);
            out[i] = column < 0 || row < 0 ? 0 : pixels->At(column, row);
        }
    }

private:
    DeviceMap toImage;
    std::unique_ptr<TexturePixels> pixels;
    bool flipX, flipY, clamped;
};

}  // namespace

std::unique_ptr<Shader> MakeTextureShader(const Brush* brush, const DeviceMap& map)
{
    BrushType type = BrushTypeSolidColor;
    if (!brush || !brush->NativeBrush() || DllExports::GdipGetBrushType(brush->NativeBrush(), &type) != Ok ||
        type != BrushTypeTextureFill)
        return nullptr;
    auto* texture = reinterpret_cast<DllExports::GpTexture*>(brush->NativeBrush());
    WrapMode wrap = WrapModeTile;
    Matrix transform;
    REAL m[6] = {1, 0, 0, 1, 0, 0};
    if (DllExports::GdipGetTextureWrapMode(texture, &wrap) != Ok ||
        DllExports::GdipGetTextureTransform(texture, transform.NativeMatrix()) != Ok || transform.GetElements(m) != Ok)
        return nullptr;
    DeviceMap deviceToImage;
    if (!InvertMap(ThenMap(DeviceMap{m[0], m[1], m[2], m[3], m[4], m[5]}, map), &deviceToImage)) return nullptr;
    auto pixels = std::make_unique<TexturePixels>(texture);
    if (!pixels->Valid()) return nullptr;
    return std::make_unique<TextureShader>(deviceToImage, wrap, std::move(pixels));
}

}  // namespace Gdiplus
