// The engine's flat functions for path gradients, the rest of linear gradients, custom and arrow line caps,
// pen getters and transforms, and image attributes (libgdiplus 6.1 exports them all), with the GDI+ types
// they take. Included from GdiplusFlat.h.
#pragma once

#pragma push_macro("Status")
#undef Status

#include "../GdiplusTypes.h"

namespace Gdiplus {

/// Where a rectangle's linear gradient runs: left to right, top to bottom, or along a diagonal.
enum LinearGradientMode {
    LinearGradientModeHorizontal = 0,
    LinearGradientModeVertical = 1,
    LinearGradientModeForwardDiagonal = 2,
    LinearGradientModeBackwardDiagonal = 3
};

/// Whether a custom line cap is a plain one or an adjustable arrow.
enum CustomLineCapType { CustomLineCapTypeDefault = 0, CustomLineCapTypeAdjustableArrow = 1 };

/// How the ends of a pen's dashes are drawn.
enum DashCap { DashCapFlat = 0, DashCapRound = 2, DashCapTriangle = 3 };

/// One colour replaced by another when an image is drawn with a remap table.
struct ColorMap {
    Color oldColor;
    Color newColor;
};

namespace DllExports {

struct GpPathGradient;
struct GpCustomLineCap;
struct GpAdjustableArrowCap;

extern "C" {

// Path gradients.
Status GdipCreatePathGradient(const PointF* points, INT count, WrapMode wrapMode, GpPathGradient** brush);
Status GdipCreatePathGradientI(const Point* points, INT count, WrapMode wrapMode, GpPathGradient** brush);
Status GdipCreatePathGradientFromPath(const GpPath* path, GpPathGradient** brush);
Status GdipGetPathGradientCenterColor(GpPathGradient* brush, ARGB* color);
Status GdipSetPathGradientCenterColor(GpPathGradient* brush, ARGB color);
Status GdipGetPathGradientSurroundColorCount(GpPathGradient* brush, INT* count);
Status GdipGetPathGradientSurroundColorsWithCount(GpPathGradient* brush, ARGB* colors, INT* count);
Status GdipSetPathGradientSurroundColorsWithCount(GpPathGradient* brush, const ARGB* colors, INT* count);
Status GdipGetPathGradientCenterPoint(GpPathGradient* brush, PointF* point);
Status GdipSetPathGradientCenterPoint(GpPathGradient* brush, const PointF* point);
Status GdipGetPathGradientRect(GpPathGradient* brush, RectF* rect);
Status GdipGetPathGradientPointCount(GpPathGradient* brush, INT* count);
Status GdipSetPathGradientGammaCorrection(GpPathGradient* brush, BOOL useGammaCorrection);
Status GdipGetPathGradientGammaCorrection(GpPathGradient* brush, BOOL* useGammaCorrection);
Status GdipGetPathGradientBlendCount(GpPathGradient* brush, INT* count);
Status GdipGetPathGradientBlend(GpPathGradient* brush, REAL* blend, REAL* positions, INT count);
Status GdipSetPathGradientBlend(GpPathGradient* brush, const REAL* blend, const REAL* positions, INT count);
Status GdipGetPathGradientPresetBlendCount(GpPathGradient* brush, INT* count);
Status GdipGetPathGradientPresetBlend(GpPathGradient* brush, ARGB* blend, REAL* positions, INT count);
Status GdipSetPathGradientPresetBlend(GpPathGradient* brush, const ARGB* blend, const REAL* positions, INT count);
Status GdipSetPathGradientSigmaBlend(GpPathGradient* brush, REAL focus, REAL scale);
Status GdipSetPathGradientLinearBlend(GpPathGradient* brush, REAL focus, REAL scale);
Status GdipGetPathGradientWrapMode(GpPathGradient* brush, WrapMode* wrapMode);
Status GdipSetPathGradientWrapMode(GpPathGradient* brush, WrapMode wrapMode);
Status GdipGetPathGradientTransform(GpPathGradient* brush, GpMatrix* matrix);
Status GdipSetPathGradientTransform(GpPathGradient* brush, GpMatrix* matrix);
Status GdipResetPathGradientTransform(GpPathGradient* brush);
Status GdipMultiplyPathGradientTransform(GpPathGradient* brush, const GpMatrix* matrix, MatrixOrder order);
Status GdipTranslatePathGradientTransform(GpPathGradient* brush, REAL dx, REAL dy, MatrixOrder order);
Status GdipScalePathGradientTransform(GpPathGradient* brush, REAL sx, REAL sy, MatrixOrder order);
Status GdipRotatePathGradientTransform(GpPathGradient* brush, REAL angle, MatrixOrder order);
Status GdipGetPathGradientFocusScales(GpPathGradient* brush, REAL* xScale, REAL* yScale);
Status GdipSetPathGradientFocusScales(GpPathGradient* brush, REAL xScale, REAL yScale);

// Linear gradients.
Status GdipCreateLineBrushFromRect(const RectF* rect, ARGB color1, ARGB color2, LinearGradientMode mode,
                                   WrapMode wrapMode, GpLineGradient** brush);
Status GdipCreateLineBrushFromRectWithAngle(const RectF* rect, ARGB color1, ARGB color2, REAL angle,
                                            BOOL isAngleScalable, WrapMode wrapMode, GpLineGradient** brush);
Status GdipGetLineBlendCount(GpLineGradient* brush, INT* count);
Status GdipGetLineBlend(GpLineGradient* brush, REAL* blend, REAL* positions, INT count);
Status GdipSetLineGammaCorrection(GpLineGradient* brush, BOOL useGammaCorrection);
Status GdipGetLineGammaCorrection(GpLineGradient* brush, BOOL* useGammaCorrection);
Status GdipGetLinePresetBlendCount(GpLineGradient* brush, INT* count);
Status GdipSetLinePresetBlend(GpLineGradient* brush, const ARGB* blend, const REAL* positions, INT count);
Status GdipGetLinePresetBlend(GpLineGradient* brush, ARGB* blend, REAL* positions, INT count);
Status GdipSetLineColors(GpLineGradient* brush, ARGB color1, ARGB color2);
Status GdipGetLineColors(GpLineGradient* brush, ARGB* colors);
Status GdipGetLineRect(GpLineGradient* brush, RectF* rect);
Status GdipSetLineTransform(GpLineGradient* brush, const GpMatrix* matrix);
Status GdipGetLineTransform(GpLineGradient* brush, GpMatrix* matrix);
Status GdipSetLineLinearBlend(GpLineGradient* brush, REAL focus, REAL scale);
Status GdipSetLineSigmaBlend(GpLineGradient* brush, REAL focus, REAL scale);
Status GdipMultiplyLineTransform(GpLineGradient* brush, GpMatrix* matrix, MatrixOrder order);
Status GdipResetLineTransform(GpLineGradient* brush);
Status GdipRotateLineTransform(GpLineGradient* brush, REAL angle, MatrixOrder order);
Status GdipScaleLineTransform(GpLineGradient* brush, REAL sx, REAL sy, MatrixOrder order);
Status GdipTranslateLineTransform(GpLineGradient* brush, REAL dx, REAL dy, MatrixOrder order);

// Custom line caps and adjustable arrows.
Status GdipCreateCustomLineCap(GpPath* fillPath, GpPath* strokePath, LineCap baseCap, REAL baseInset,
                               GpCustomLineCap** cap);
Status GdipDeleteCustomLineCap(GpCustomLineCap* cap);
Status GdipCloneCustomLineCap(GpCustomLineCap* cap, GpCustomLineCap** clone);
Status GdipGetCustomLineCapType(GpCustomLineCap* cap, CustomLineCapType* type);
Status GdipSetCustomLineCapStrokeCaps(GpCustomLineCap* cap, LineCap startCap, LineCap endCap);
Status GdipGetCustomLineCapStrokeCaps(GpCustomLineCap* cap, LineCap* startCap, LineCap* endCap);
Status GdipSetCustomLineCapStrokeJoin(GpCustomLineCap* cap, LineJoin lineJoin);
Status GdipGetCustomLineCapStrokeJoin(GpCustomLineCap* cap, LineJoin* lineJoin);
Status GdipSetCustomLineCapBaseCap(GpCustomLineCap* cap, LineCap baseCap);
Status GdipGetCustomLineCapBaseCap(GpCustomLineCap* cap, LineCap* baseCap);
Status GdipSetCustomLineCapBaseInset(GpCustomLineCap* cap, REAL inset);
Status GdipGetCustomLineCapBaseInset(GpCustomLineCap* cap, REAL* inset);
Status GdipSetCustomLineCapWidthScale(GpCustomLineCap* cap, REAL widthScale);
Status GdipGetCustomLineCapWidthScale(GpCustomLineCap* cap, REAL* widthScale);
Status GdipCreateAdjustableArrowCap(REAL height, REAL width, BOOL isFilled, GpAdjustableArrowCap** cap);
Status GdipGetAdjustableArrowCapHeight(GpAdjustableArrowCap* cap, REAL* height);
Status GdipSetAdjustableArrowCapHeight(GpAdjustableArrowCap* cap, REAL height);
Status GdipGetAdjustableArrowCapWidth(GpAdjustableArrowCap* cap, REAL* width);
Status GdipSetAdjustableArrowCapWidth(GpAdjustableArrowCap* cap, REAL width);
Status GdipGetAdjustableArrowCapMiddleInset(GpAdjustableArrowCap* cap, REAL* middleInset);
Status GdipSetAdjustableArrowCapMiddleInset(GpAdjustableArrowCap* cap, REAL middleInset);
Status GdipSetAdjustableArrowCapFillState(GpAdjustableArrowCap* cap, BOOL isFilled);
Status GdipGetAdjustableArrowCapFillState(GpAdjustableArrowCap* cap, BOOL* isFilled);

// Pens.
Status GdipSetPenCompoundArray(GpPen* pen, const REAL* compound, INT count);
Status GdipGetPenCompoundArray(GpPen* pen, REAL* compound, INT count);
Status GdipSetPenMiterLimit(GpPen* pen, REAL miterLimit);
Status GdipSetPenDashOffset(GpPen* pen, REAL offset);
Status GdipSetPenDashCap197819(GpPen* pen, DashCap dashCap);
Status GdipGetPenDashCap197819(GpPen* pen, DashCap* dashCap);
Status GdipSetPenBrushFill(GpPen* pen, GpBrush* brush);
Status GdipSetPenCustomStartCap(GpPen* pen, GpCustomLineCap* cap);
Status GdipGetPenCustomStartCap(GpPen* pen, GpCustomLineCap** cap);
Status GdipSetPenCustomEndCap(GpPen* pen, GpCustomLineCap* cap);
Status GdipGetPenCustomEndCap(GpPen* pen, GpCustomLineCap** cap);
Status GdipSetPenTransform(GpPen* pen, GpMatrix* matrix);
Status GdipResetPenTransform(GpPen* pen);
Status GdipMultiplyPenTransform(GpPen* pen, GpMatrix* matrix, MatrixOrder order);
Status GdipTranslatePenTransform(GpPen* pen, REAL dx, REAL dy, MatrixOrder order);
Status GdipScalePenTransform(GpPen* pen, REAL sx, REAL sy, MatrixOrder order);
Status GdipRotatePenTransform(GpPen* pen, REAL angle, MatrixOrder order);

// Image attributes.
Status GdipCloneImageAttributes(const GpImageAttributes* attributes, GpImageAttributes** clone);
Status GdipSetImageAttributesToIdentity(GpImageAttributes* attributes, ColorAdjustType type);
Status GdipResetImageAttributes(GpImageAttributes* attributes, ColorAdjustType type);
Status GdipSetImageAttributesColorKeys(GpImageAttributes* attributes, ColorAdjustType type, BOOL enableFlag,
                                       ARGB colorLow, ARGB colorHigh);
Status GdipSetImageAttributesGamma(GpImageAttributes* attributes, ColorAdjustType type, BOOL enableFlag, REAL gamma);
Status GdipSetImageAttributesNoOp(GpImageAttributes* attributes, ColorAdjustType type, BOOL enableFlag);
Status GdipSetImageAttributesRemapTable(GpImageAttributes* attributes, ColorAdjustType type, BOOL enableFlag,
                                        UINT mapSize, const ColorMap* map);
Status GdipSetImageAttributesThreshold(GpImageAttributes* attributes, ColorAdjustType type, BOOL enableFlag,
                                       REAL threshold);
Status GdipSetImageAttributesWrapMode(GpImageAttributes* attributes, WrapMode wrap, ARGB argb, BOOL clamp);

}  // extern "C"

}  // namespace DllExports
}  // namespace Gdiplus

#pragma pop_macro("Status")
