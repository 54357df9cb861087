// The engine's flat functions for regions and for clipping a drawing context to one (libgdiplus exports
// them all; signatures as in its region.c and graphics.c).
#pragma once

#include "../GdiplusTypes.h"

struct HRGN__;
typedef HRGN__* HRGN;

namespace Gdiplus {
namespace DllExports {

struct GpRegion;

extern "C" {

// Regions.
Status GdipCreateRegion(GpRegion** region);
Status GdipCreateRegionRect(const RectF* rect, GpRegion** region);
Status GdipCreateRegionRectI(const Rect* rect, GpRegion** region);
Status GdipCreateRegionPath(GpPath* path, GpRegion** region);
Status GdipCreateRegionRgnData(const BYTE* regionData, INT size, GpRegion** region);
Status GdipCloneRegion(GpRegion* region, GpRegion** cloneRegion);
Status GdipDeleteRegion(GpRegion* region);
Status GdipSetInfinite(GpRegion* region);
Status GdipSetEmpty(GpRegion* region);
Status GdipCombineRegionRect(GpRegion* region, const RectF* rect, CombineMode combineMode);
Status GdipCombineRegionRectI(GpRegion* region, const Rect* rect, CombineMode combineMode);
Status GdipCombineRegionPath(GpRegion* region, GpPath* path, CombineMode combineMode);
Status GdipCombineRegionRegion(GpRegion* region, GpRegion* region2, CombineMode combineMode);
Status GdipGetRegionBounds(GpRegion* region, GpGraphics* graphics, RectF* rect);
Status GdipIsEmptyRegion(GpRegion* region, GpGraphics* graphics, BOOL* result);
Status GdipIsInfiniteRegion(GpRegion* region, GpGraphics* graphics, BOOL* result);
Status GdipIsEqualRegion(GpRegion* region, GpRegion* region2, GpGraphics* graphics, BOOL* result);
Status GdipIsVisibleRegionPoint(GpRegion* region, REAL x, REAL y, GpGraphics* graphics, BOOL* result);
Status GdipIsVisibleRegionRect(GpRegion* region, REAL x, REAL y, REAL width, REAL height, GpGraphics* graphics,
                               BOOL* result);
Status GdipGetRegionScansCount(GpRegion* region, UINT* count, GpMatrix* matrix);
Status GdipGetRegionScans(GpRegion* region, RectF* rects, INT* count, GpMatrix* matrix);
Status GdipGetRegionScansI(GpRegion* region, Rect* rects, INT* count, GpMatrix* matrix);
Status GdipTranslateRegion(GpRegion* region, REAL dx, REAL dy);
Status GdipTransformRegion(GpRegion* region, GpMatrix* matrix);
Status GdipGetRegionDataSize(GpRegion* region, UINT* bufferSize);
Status GdipGetRegionData(GpRegion* region, BYTE* buffer, UINT bufferSize, UINT* sizeFilled);

// Clipping a drawing context, and what it lets through.
Status GdipSetClipRegion(GpGraphics* graphics, GpRegion* region, CombineMode combineMode);
Status GdipSetClipGraphics(GpGraphics* graphics, GpGraphics* srcgraphics, CombineMode combineMode);
Status GdipGetClip(GpGraphics* graphics, GpRegion* region);
Status GdipTranslateClip(GpGraphics* graphics, REAL dx, REAL dy);
Status GdipIsClipEmpty(GpGraphics* graphics, BOOL* result);
Status GdipIsVisibleClipEmpty(GpGraphics* graphics, BOOL* result);
Status GdipGetVisibleClipBounds(GpGraphics* graphics, RectF* rect);
Status GdipIsVisiblePoint(GpGraphics* graphics, REAL x, REAL y, BOOL* result);
Status GdipIsVisibleRect(GpGraphics* graphics, REAL x, REAL y, REAL width, REAL height, BOOL* result);
Status GdipFillRegion(GpGraphics* graphics, GpBrush* brush, GpRegion* region);

// Character ranges measured as regions (string formats and graphics; libgdiplus's stringformat.c and text.c).
Status GdipSetStringFormatMeasurableCharacterRanges(GpStringFormat* format, INT rangeCount,
                                                    const CharacterRange* ranges);
Status GdipGetStringFormatMeasurableCharacterRangeCount(const GpStringFormat* format, INT* count);

}  // extern "C"

}  // namespace DllExports
}  // namespace Gdiplus
