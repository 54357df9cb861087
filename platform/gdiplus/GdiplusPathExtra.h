// Path data and the path iterator, read by Gdiplus.h inside namespace Gdiplus, after GraphicsPath.
#pragma once

/// A copy of a path's points and types (GraphicsPath::GetPathData fills it); it owns its arrays.
class PathData {
public:
    PathData() = default;
    ~PathData()
    {
        delete[] Points;
        delete[] Types;
    }
    PathData(const PathData&) = delete;
    PathData& operator=(const PathData&) = delete;

    /// The number of points (and types).
    INT Count = 0;
    /// The points, or null when there are none.
    PointF* Points = nullptr;
    /// Each point's PathPointType value, or null when there are none.
    BYTE* Types = nullptr;
};

/// Walks a path figure by figure (subpaths), section by section (markers) and run by run of one point
/// type. It reads the path as it was when the iterator was made.
class GraphicsPathIterator : public GdiplusBase, public StatusKeeper {
public:
    /// An iterator over the path (null gives an iterator over nothing).
    explicit GraphicsPathIterator(const GraphicsPath* path);
    /// Releases the iterator.
    ~GraphicsPathIterator();
    GraphicsPathIterator(const GraphicsPathIterator&) = delete;
    GraphicsPathIterator& operator=(const GraphicsPathIterator&) = delete;

    /// The next figure: its first and last point indices and whether it is closed; the number of its
    /// points, 0 after the last.
    INT NextSubpath(INT* startIndex, INT* endIndex, BOOL* isClosed);
    /// As above, copying the figure into path (which it replaces).
    INT NextSubpath(GraphicsPath* path, BOOL* isClosed);
    /// The next run of points of one type inside the current figure; 0 when the figure is done.
    INT NextPathType(BYTE* pathType, INT* startIndex, INT* endIndex);
    /// The next section up to a marker (or the end); 0 after the last.
    INT NextMarker(INT* startIndex, INT* endIndex);
    /// As above, copying the section into path.
    INT NextMarker(GraphicsPath* path);
    /// The number of points, and of figures.
    INT GetCount() const;
    INT GetSubpathCount() const;
    /// True when the path holds a Bézier.
    BOOL HasCurve() const;
    /// Back to the start of the path.
    void Rewind();
    /// Copies up to count points and types from the start; the number copied.
    INT Enumerate(PointF* points, BYTE* types, INT count);
    /// Copies the points and types from startIndex to endIndex (inclusive); the number copied.
    INT CopyData(PointF* points, BYTE* types, INT startIndex, INT endIndex);

private:
    DllExports::GpPathIterator* nativeIterator = nullptr;
};
