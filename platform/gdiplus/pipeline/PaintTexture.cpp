// Texture brushes at device pixels: the brush's image laid from the world origin, through the brush transform
// and the world transform, each device pixel the image pixel under its centre; beyond the image the copies
// tile, mirror every other copy across x, y or both (TileFlipX, TileFlipY, TileFlipXY), or are transparent
// (Clamp).
#include <algorithm>
#include <cmath>
#include <vector>

#include "../Gdiplus.h"
#include "../engine/GdiplusFlatPaint.h"
#include "Paint.h"
#include "PixelView.h"
#include "Premultiply.h"

namespace Gdiplus {

namespace {

// The premultiplied form of a pixel stored in the view's own way.
uint32_t PremultipliedFrom(const PixelView& view, uint32_t pixel)
{
    if (view.Opaque()) return pixel | 0xFF000000u;
    return view.Straight() ? PremultiplyPixel(pixel) : pixel;
}

// The image's 32-bit pixels as the layer views them: a 32bppARGB bitmap with a context is read from the
// engine's premultiplied surface, where a lock would convert the whole bitmap from it and back.
bool ViewedPixels(DllExports::GpImage* image, INT* width, INT* height, std::vector<uint32_t>* pixels)
{
    const PixelView view(image, ViewedFormats::Any);
    if (!view.Valid() || !BitmapSizeFits(UINT(view.Width()), UINT(view.Height()))) return false;
    *width = view.Width(), *height = view.Height();
    pixels->resize(size_t(*width) * size_t(*height));
    for (INT y = 0; y < *height; ++y) {
        const uint32_t* row = view.Row(y);
        uint32_t* out = pixels->data() + size_t(y) * size_t(*width);
        for (INT x = 0; x < *width; ++x) out[x] = PremultipliedFrom(view, row[x]);
    }
    return true;
}

// Any other image's pixels, converted by the engine to straight 32bppARGB and premultiplied here.
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

// The premultiplied pixels of the brush's image; false when there is none to read.
bool ImagePixels(DllExports::GpTexture* texture, INT* width, INT* height, std::vector<uint32_t>* pixels)
{
    DllExports::GpImage* image = nullptr;
    if (DllExports::GdipGetTextureImage(texture, &image) != Ok || !image) return false;
    const bool read = ViewedPixels(image, width, height, pixels) || ConvertedPixels(image, width, height, pixels);
    DllExports::GdipDisposeImage(image);
    return read;
}

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
    TextureShader(const DeviceMap& deviceToImage, WrapMode wrap, INT width, INT height, std::vector<uint32_t> pixels)
        : toImage(deviceToImage), width(width), height(height), pixels(std::move(pixels)),
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
        for (INT i = 0; i < count; ++i, u += toImage.m11, v += toImage.m12) {
            const INT column = Wrapped(u, width, flipX, clamped), row = Wrapped(v, height, flipY, clamped);
            out[i] = column < 0 || row < 0 ? 0 : pixels[size_t(row) * size_t(width) + size_t(column)];
        }
    }

private:
    DeviceMap toImage;
    INT width, height;
    std::vector<uint32_t> pixels;
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
    INT width = 0, height = 0;
    std::vector<uint32_t> pixels;
    if (!ImagePixels(texture, &width, &height, &pixels)) return nullptr;
    return std::make_unique<TextureShader>(deviceToImage, wrap, width, height, std::move(pixels));
}

}  // namespace Gdiplus
