// Path gradient brushes and custom line caps (the plain kind and the adjustable arrow).
// Included from Gdiplus.h once GraphicsPath and Matrix are declared.
#pragma once

namespace Gdiplus {

/// Paints from a centre colour at the centre point out to surround colours at the outline of a path.
class PathGradientBrush : public Brush {
public:
    /// The polygon through the points; the centre is their average, the centre colour opaque black and
    /// the surround white, as in GDI+.
    PathGradientBrush(const PointF* points, INT count, WrapMode wrapMode = WrapModeClamp);
    PathGradientBrush(const Point* points, INT count, WrapMode wrapMode = WrapModeClamp);
    /// The outline of the path (its points are copied); the centre colour is white.
    explicit PathGradientBrush(const GraphicsPath* path);

    /// The colour at the centre point.
    Status GetCenterColor(Color* color) const;
    Status SetCenterColor(const Color& color);
    /// Where the centre colour is; it may lie outside the outline.
    Status GetCenterPoint(PointF* point) const;
    Status GetCenterPoint(Point* point) const;
    Status SetCenterPoint(const PointF& point);
    Status SetCenterPoint(const Point& point);
    /// The number of points of the outline.
    INT GetPointCount() const;
    /// The number of surround colours the outline takes: one a point, as Windows counts them.
    INT GetSurroundColorCount() const;
    /// One colour a point of the outline, the last repeated for the rest; *count (1 to GetPointCount) is
    /// the number given, and the number kept on return (equal colours collapse into one).
    Status SetSurroundColors(const Color* colors, INT* count);
    /// A colour for each point of the outline (*count at least GetPointCount); *count becomes the number set.
    Status GetSurroundColors(Color* colors, INT* count) const;
    /// The box around the outline.
    Status GetRectangle(RectF* rect) const;
    Status GetRectangle(Rect* rect) const;
    /// Whether colours are blended with gamma correction.
    Status SetGammaCorrection(BOOL useGammaCorrection);
    BOOL GetGammaCorrection() const;
    /// Shapes the gradient from the outline (position 0) to the centre (position 1): at each position the
    /// share of the centre colour (first position 0, last 1).
    Status SetBlend(const REAL* blendFactors, const REAL* blendPositions, INT count);
    INT GetBlendCount() const;
    Status GetBlend(REAL* blendFactors, REAL* blendPositions, INT count) const;
    /// Colours at positions from the outline (0) to the centre (1), in place of centre and surround colours.
    Status SetInterpolationColors(const Color* presetColors, const REAL* blendPositions, INT count);
    INT GetInterpolationColorCount() const;
    Status GetInterpolationColors(Color* presetColors, REAL* blendPositions, INT count) const;
    /// A bell-shaped (Gaussian) or triangular blend peaking at focus (0 to 1) with the share scale.
    Status SetBlendBellShape(REAL focus, REAL scale = 1.0f);
    Status SetBlendTriangularShape(REAL focus, REAL scale = 1.0f);
    /// The centre colour fills a copy of the outline scaled by these factors about the centre.
    Status GetFocusScales(REAL* xScale, REAL* yScale) const;
    Status SetFocusScales(REAL xScale, REAL yScale);
    WrapMode GetWrapMode() const;
    Status SetWrapMode(WrapMode wrapMode);
    /// The matrix from brush to world coordinates, and the one-step changes to it.
    Status GetTransform(Matrix* matrix) const;
    Status SetTransform(const Matrix* matrix);
    Status ResetTransform();
    Status MultiplyTransform(const Matrix* matrix, MatrixOrder order = MatrixOrderPrepend);
    Status TranslateTransform(REAL dx, REAL dy, MatrixOrder order = MatrixOrderPrepend);
    Status ScaleTransform(REAL sx, REAL sy, MatrixOrder order = MatrixOrderPrepend);
    Status RotateTransform(REAL angle, MatrixOrder order = MatrixOrderPrepend);

    /// The outline as made, for the layer's paint stage: its points and point types (GDI+'s path types).
    struct Outline {
        std::vector<PointF> points;
        std::vector<BYTE> types;
    };
    const Outline& Definition() const { return outline; }
    Brush* Clone() const override;

private:
    PathGradientBrush() = default;
    DllExports::GpPathGradient* NativeGradient() const
    {
        return reinterpret_cast<DllExports::GpPathGradient*>(nativeBrush);
    }

    Outline outline;
};

/// The shape a pen draws at the end of a line: a filled and/or stroked path in units of the pen's width,
/// the line's end at the origin and the line running along the negative y axis.
/// A custom cap's path as it was given (points and point types, in pen widths), and whether it is filled
/// (a fill path) or stroked with the pen (a stroke path).
struct CustomCapOutline {
    std::vector<PointF> points;
    std::vector<BYTE> types;
    bool filled = true;
};

class CustomLineCap : public GdiplusBase, public StatusKeeper {
public:
    /// A cap filled by fillPath or stroked along strokePath (one of them null); the paths are copied.
    CustomLineCap(const GraphicsPath* fillPath, const GraphicsPath* strokePath, LineCap baseCap = LineCapFlat,
                  REAL baseInset = 0);
    virtual ~CustomLineCap();
    CustomLineCap(const CustomLineCap&) = delete;
    CustomLineCap& operator=(const CustomLineCap&) = delete;

    /// A new, independent copy (the caller deletes it); null when the copy fails.
    CustomLineCap* Clone() const;
    /// The caps of the lines that stroke the cap's path.
    Status SetStrokeCaps(LineCap startCap, LineCap endCap);
    Status GetStrokeCaps(LineCap* startCap, LineCap* endCap) const;
    Status SetStrokeCap(LineCap strokeCap) { return SetStrokeCaps(strokeCap, strokeCap); }
    /// The join of the lines that stroke the cap's path.
    Status SetStrokeJoin(LineJoin lineJoin);
    LineJoin GetStrokeJoin() const;
    /// The ordinary cap drawn under the custom one.
    Status SetBaseCap(LineCap baseCap);
    LineCap GetBaseCap() const;
    /// How far the line stops short of its end, in pen widths.
    Status SetBaseInset(REAL inset);
    REAL GetBaseInset() const;
    /// The cap's size relative to the pen's width.
    Status SetWidthScale(REAL widthScale);
    REAL GetWidthScale() const;

    DllExports::GpCustomLineCap* NativeCap() const { return nativeCap; }

protected:
    CustomLineCap() = default;
    // Takes the engine cap (or its failure) in place of the one held, with its path.
    void Adopt(DllExports::GpCustomLineCap* cap, Status status, std::shared_ptr<const CustomCapOutline> path);
    DllExports::GpCustomLineCap* nativeCap = nullptr;
    std::shared_ptr<const CustomCapOutline> capPath;

    friend class Pen;
};

/// An arrow head cap: height and width in pen widths, filled or outlined, its back notched by the inset.
class AdjustableArrowCap : public CustomLineCap {
public:
    AdjustableArrowCap(REAL height, REAL width, BOOL isFilled = TRUE);

    Status SetHeight(REAL height);
    REAL GetHeight() const;
    Status SetWidth(REAL width);
    REAL GetWidth() const;
    /// How far the back of the arrow is pushed in towards its tip.
    Status SetMiddleInset(REAL middleInset);
    REAL GetMiddleInset() const;
    Status SetFillState(BOOL isFilled);
    BOOL IsFilled() const;

private:
    DllExports::GpAdjustableArrowCap* NativeArrow() const
    {
        return reinterpret_cast<DllExports::GpAdjustableArrowCap*>(nativeCap);
    }
};

}  // namespace Gdiplus
