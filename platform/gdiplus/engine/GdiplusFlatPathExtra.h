// The engine's flat functions for the path family (iterators, markers, reversal, path data, hit tests),
// as libgdiplus 6.1 exports them. Read at the end of GdiplusFlat.h.
#pragma once

#include "../GdiplusTypes.h"

namespace Gdiplus {

/// How GraphicsPath::Warp maps the source rectangle onto the destination points.
enum WarpMode { WarpModePerspective = 0, WarpModeBilinear = 1 };
/// The flatness paths are flattened to when none is given: a quarter of a unit.
const REAL FlatnessDefault = 1.0f / 4.0f;

namespace DllExports {

struct GpPathIterator;

extern "C" {

// Paths.
Status GdipCreatePath2(const PointF* points, const BYTE* types, INT count, FillMode fillMode, GpPath** path);
Status GdipClonePath(GpPath* path, GpPath** clonePath);
Status GdipSetPathFillMode(GpPath* path, FillMode fillmode);
Status GdipSetPathMarker(GpPath* path);
Status GdipClearPathMarkers(GpPath* path);
Status GdipReversePath(GpPath* path);
Status GdipGetPathLastPoint(GpPath* path, PointF* lastPoint);
Status GdipAddPathPath(GpPath* path, const GpPath* addingPath, BOOL connect);
Status GdipFlattenPath(GpPath* path, GpMatrix* matrix, REAL flatness);
Status GdipGetPenUnit(GpPen* pen, Unit* unit);

// Path iterators.
Status GdipCreatePathIter(GpPathIterator** iterator, GpPath* path);
Status GdipDeletePathIter(GpPathIterator* iterator);
Status GdipPathIterGetCount(GpPathIterator* iterator, INT* count);
Status GdipPathIterGetSubpathCount(GpPathIterator* iterator, INT* count);
Status GdipPathIterCopyData(GpPathIterator* iterator, INT* resultCount, PointF* points, BYTE* types, INT startIndex,
                            INT endIndex);
Status GdipPathIterHasCurve(GpPathIterator* iterator, BOOL* hasCurve);
Status GdipPathIterNextMarkerPath(GpPathIterator* iterator, INT* resultCount, GpPath* path);
Status GdipPathIterNextMarker(GpPathIterator* iterator, INT* resultCount, INT* startIndex, INT* endIndex);
Status GdipPathIterNextPathType(GpPathIterator* iterator, INT* resultCount, BYTE* pathType, INT* startIndex,
                                INT* endIndex);
Status GdipPathIterNextSubpathPath(GpPathIterator* iterator, INT* resultCount, GpPath* path, BOOL* isClosed);
Status GdipPathIterNextSubpath(GpPathIterator* iterator, INT* resultCount, INT* startIndex, INT* endIndex,
                               BOOL* isClosed);
Status GdipPathIterEnumerate(GpPathIterator* iterator, INT* resultCount, PointF* points, BYTE* types, INT count);
Status GdipPathIterRewind(GpPathIterator* iterator);

}  // extern "C"

}  // namespace DllExports
}  // namespace Gdiplus
