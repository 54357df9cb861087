// GDI+ value types and enumerations, with the names and values of the GDI+ C++ interface.
#pragma once

// <X11/Xlib.h> makes Status a macro: it is set aside while this header is read and restored at its end,
// so that X11 code and this header can be included in either order.
#pragma push_macro("Status")
#undef Status

#include <cstddef>
#include <cstdint>

#include "../win/WinTypes.h"

#define LF_FACESIZE 32

// Pixel formats are plain numbers in GDI+, written unqualified by its users.
#define PixelFormat1bppIndexed 0x00030101
#define PixelFormat4bppIndexed 0x00030402
#define PixelFormat8bppIndexed 0x00030803
#define PixelFormat24bppRGB 0x00021808
#define PixelFormat32bppRGB 0x00022009
#define PixelFormat32bppARGB 0x0026200A
#define PixelFormat32bppPARGB 0x000E200B

namespace Gdiplus {

typedef float REAL;
// The Windows BOOL (an int), declared in this namespace rather than globally: X11's <X11/Xmd.h>
// declares a global BOOL of its own.
typedef int BOOL;
typedef DWORD ARGB;
typedef INT PixelFormat;

enum Status {
    Ok = 0,
    GenericError = 1,
    InvalidParameter = 2,
    OutOfMemory = 3,
    ObjectBusy = 4,
    InsufficientBuffer = 5,
    NotImplemented = 6,
    Win32Error = 7,
    WrongState = 8,
    Aborted = 9,
    FileNotFound = 10,
    ValueOverflow = 11,
    AccessDenied = 12,
    UnknownImageFormat = 13,
    FontFamilyNotFound = 14,
    FontStyleNotFound = 15,
    NotTrueTypeFont = 16,
    UnsupportedGdiplusVersion = 17,
    GdiplusNotInitialized = 18,
    PropertyNotFound = 19,
    PropertyNotSupported = 20,
    ProfileNotFound = 21
};
// The same type under the name that stays usable where X11's Status macro is in force.
typedef Status GpStatus;


enum Unit { UnitWorld = 0, UnitDisplay = 1, UnitPixel = 2, UnitPoint = 3, UnitInch = 4, UnitDocument = 5, UnitMillimeter = 6 };

enum SmoothingMode {
    SmoothingModeInvalid = -1,
    SmoothingModeDefault = 0,
    SmoothingModeHighSpeed = 1,
    SmoothingModeHighQuality = 2,
    SmoothingModeNone = 3,
    SmoothingModeAntiAlias = 4,
    SmoothingModeAntiAlias8x4 = 4,
    SmoothingModeAntiAlias8x8 = 5
};

enum InterpolationMode {
    InterpolationModeInvalid = -1,
    InterpolationModeDefault = 0,
    InterpolationModeLowQuality = 1,
    InterpolationModeHighQuality = 2,
    InterpolationModeBilinear = 3,
    InterpolationModeBicubic = 4,
    InterpolationModeNearestNeighbor = 5,
    InterpolationModeHighQualityBilinear = 6,
    InterpolationModeHighQualityBicubic = 7
};

enum CompositingMode { CompositingModeSourceOver = 0, CompositingModeSourceCopy = 1 };

enum CompositingQuality {
    CompositingQualityInvalid = -1,
    CompositingQualityDefault = 0,
    CompositingQualityHighSpeed = 1,
    CompositingQualityHighQuality = 2,
    CompositingQualityGammaCorrected = 3,
    CompositingQualityAssumeLinear = 4
};

enum CombineMode {
    CombineModeReplace = 0,
    CombineModeIntersect = 1,
    CombineModeUnion = 2,
    CombineModeXor = 3,
    CombineModeExclude = 4,
    CombineModeComplement = 5
};

typedef UINT GraphicsState;

// The kind of each point of a path, with its flags in the high bits.
enum PathPointType {
    PathPointTypeStart = 0,
    PathPointTypeLine = 1,
    PathPointTypeBezier = 3,
    PathPointTypePathTypeMask = 0x07,
    PathPointTypeDashMode = 0x10,
    PathPointTypePathMarker = 0x20,
    PathPointTypeCloseSubpath = 0x80,
    PathPointTypeBezier3 = 3
};

enum TextRenderingHint {
    TextRenderingHintSystemDefault = 0,
    TextRenderingHintSingleBitPerPixelGridFit = 1,
    TextRenderingHintSingleBitPerPixel = 2,
    TextRenderingHintAntiAliasGridFit = 3,
    TextRenderingHintAntiAlias = 4,
    TextRenderingHintClearTypeGridFit = 5
};

enum MatrixOrder { MatrixOrderPrepend = 0, MatrixOrderAppend = 1 };

enum DashStyle { DashStyleSolid = 0, DashStyleDash = 1, DashStyleDot = 2, DashStyleDashDot = 3, DashStyleDashDotDot = 4, DashStyleCustom = 5 };

enum LineCap {
    LineCapFlat = 0,
    LineCapSquare = 1,
    LineCapRound = 2,
    LineCapTriangle = 3,
    LineCapNoAnchor = 0x10,
    LineCapSquareAnchor = 0x11,
    LineCapRoundAnchor = 0x12,
    LineCapDiamondAnchor = 0x13,
    LineCapArrowAnchor = 0x14,
    LineCapCustom = 0xff,
    LineCapAnchorMask = 0xf0
};

enum BrushType {
    BrushTypeSolidColor = 0,
    BrushTypeHatchFill = 1,
    BrushTypeTextureFill = 2,
    BrushTypePathGradient = 3,
    BrushTypeLinearGradient = 4
};

enum PenType {
    PenTypeSolidColor = BrushTypeSolidColor,
    PenTypeHatchFill = BrushTypeHatchFill,
    PenTypeTextureFill = BrushTypeTextureFill,
    PenTypePathGradient = BrushTypePathGradient,
    PenTypeLinearGradient = BrushTypeLinearGradient,
    PenTypeUnknown = -1
};

enum LineJoin { LineJoinMiter = 0, LineJoinBevel = 1, LineJoinRound = 2, LineJoinMiterClipped = 3 };

enum PenAlignment { PenAlignmentCenter = 0, PenAlignmentInset = 1 };

enum HatchStyle {
    HatchStyleHorizontal = 0,
    HatchStyleVertical = 1,
    HatchStyleForwardDiagonal = 2,
    HatchStyleBackwardDiagonal = 3,
    HatchStyleCross = 4,
    HatchStyleDiagonalCross = 5,
    HatchStyle05Percent = 6,
    HatchStyle10Percent = 7,
    HatchStyle20Percent = 8,
    HatchStyle25Percent = 9,
    HatchStyle30Percent = 10,
    HatchStyle40Percent = 11,
    HatchStyle50Percent = 12,
    HatchStyle60Percent = 13,
    HatchStyle70Percent = 14,
    HatchStyle75Percent = 15,
    HatchStyle80Percent = 16,
    HatchStyle90Percent = 17,
    HatchStyleLightDownwardDiagonal = 18,
    HatchStyleLightUpwardDiagonal = 19,
    HatchStyleDarkDownwardDiagonal = 20,
    HatchStyleDarkUpwardDiagonal = 21,
    HatchStyleWideDownwardDiagonal = 22,
    HatchStyleWideUpwardDiagonal = 23,
    HatchStyleLightVertical = 24,
    HatchStyleLightHorizontal = 25,
    HatchStyleNarrowVertical = 26,
    HatchStyleNarrowHorizontal = 27,
    HatchStyleDarkVertical = 28,
    HatchStyleDarkHorizontal = 29,
    HatchStyleDashedDownwardDiagonal = 30,
    HatchStyleDashedUpwardDiagonal = 31,
    HatchStyleDashedHorizontal = 32,
    HatchStyleDashedVertical = 33,
    HatchStyleSmallConfetti = 34,
    HatchStyleLargeConfetti = 35,
    HatchStyleZigZag = 36,
    HatchStyleWave = 37,
    HatchStyleDiagonalBrick = 38,
    HatchStyleHorizontalBrick = 39,
    HatchStyleWeave = 40,
    HatchStylePlaid = 41,
    HatchStyleDivot = 42,
    HatchStyleDottedGrid = 43,
    HatchStyleDottedDiamond = 44,
    HatchStyleShingle = 45,
    HatchStyleTrellis = 46,
    HatchStyleSphere = 47,
    HatchStyleSmallGrid = 48,
    HatchStyleSmallCheckerBoard = 49,
    HatchStyleLargeCheckerBoard = 50,
    HatchStyleOutlinedDiamond = 51,
    HatchStyleSolidDiamond = 52,
    HatchStyleTotal = 53,
    HatchStyleLargeGrid = HatchStyleCross,
    HatchStyleMin = HatchStyleHorizontal,
    HatchStyleMax = HatchStyleTotal - 1
};

enum WrapMode { WrapModeTile = 0, WrapModeTileFlipX = 1, WrapModeTileFlipY = 2, WrapModeTileFlipXY = 3, WrapModeClamp = 4 };

enum FillMode { FillModeAlternate = 0, FillModeWinding = 1 };

enum FontStyle {
    FontStyleRegular = 0,
    FontStyleBold = 1,
    FontStyleItalic = 2,
    FontStyleBoldItalic = 3,
    FontStyleUnderline = 4,
    FontStyleStrikeout = 8
};

enum StringFormatFlags {
    StringFormatFlagsDirectionRightToLeft = 0x00000001,
    StringFormatFlagsDirectionVertical = 0x00000002,
    StringFormatFlagsNoFitBlackBox = 0x00000004,
    StringFormatFlagsDisplayFormatControl = 0x00000020,
    StringFormatFlagsNoFontFallback = 0x00000400,
    StringFormatFlagsMeasureTrailingSpaces = 0x00000800,
    StringFormatFlagsNoWrap = 0x00001000,
    StringFormatFlagsLineLimit = 0x00002000,
    StringFormatFlagsNoClip = 0x00004000
};

enum StringAlignment { StringAlignmentNear = 0, StringAlignmentCenter = 1, StringAlignmentFar = 2 };

enum StringTrimming {
    StringTrimmingNone = 0,
    StringTrimmingCharacter = 1,
    StringTrimmingWord = 2,
    StringTrimmingEllipsisCharacter = 3,
    StringTrimmingEllipsisWord = 4,
    StringTrimmingEllipsisPath = 5
};

enum HotkeyPrefix { HotkeyPrefixNone = 0, HotkeyPrefixShow = 1, HotkeyPrefixHide = 2 };

enum RotateFlipType {
    RotateNoneFlipNone = 0,
    Rotate90FlipNone = 1,
    Rotate180FlipNone = 2,
    Rotate270FlipNone = 3,
    RotateNoneFlipX = 4,
    Rotate90FlipX = 5,
    Rotate180FlipX = 6,
    Rotate270FlipX = 7,
    RotateNoneFlipY = Rotate180FlipX,
    Rotate90FlipY = Rotate270FlipX,
    Rotate180FlipY = RotateNoneFlipX,
    Rotate270FlipY = Rotate90FlipX,
    RotateNoneFlipXY = Rotate180FlipNone,
    Rotate90FlipXY = Rotate270FlipNone,
    Rotate180FlipXY = RotateNoneFlipNone,
    Rotate270FlipXY = Rotate90FlipNone
};

enum ColorAdjustType {
    ColorAdjustTypeDefault = 0,
    ColorAdjustTypeBitmap = 1,
    ColorAdjustTypeBrush = 2,
    ColorAdjustTypePen = 3,
    ColorAdjustTypeText = 4,
    ColorAdjustTypeCount = 5,
    ColorAdjustTypeAny = 6
};

enum ColorMatrixFlags { ColorMatrixFlagsDefault = 0, ColorMatrixFlagsSkipGrays = 1, ColorMatrixFlagsAltGray = 2 };

enum PaletteFlags { PaletteFlagsHasAlpha = 1, PaletteFlagsGrayScale = 2, PaletteFlagsHalftone = 4 };

/// The colours of an indexed bitmap: Count entries follow the header.
struct ColorPalette {
    UINT Flags;
    UINT Count;
    ARGB Entries[1];
};

enum ImageType { ImageTypeUnknown = 0, ImageTypeBitmap = 1, ImageTypeMetafile = 2 };

enum ImageLockMode { ImageLockModeRead = 1, ImageLockModeWrite = 2, ImageLockModeUserInputBuf = 4 };

enum EncoderParameterValueType {
    EncoderParameterValueTypeByte = 1,
    EncoderParameterValueTypeASCII = 2,
    EncoderParameterValueTypeShort = 3,
    EncoderParameterValueTypeLong = 4,
    EncoderParameterValueTypeRational = 5,
    EncoderParameterValueTypeLongRange = 6,
    EncoderParameterValueTypeUndefined = 7,
    EncoderParameterValueTypeRationalRange = 8,
    EncoderParameterValueTypePointer = 9
};

// {1d5be4b5-fa4a-452d-9cdd-5db35105e7eb}
const GUID EncoderQuality = {0x1d5be4b5, 0xfa4a, 0x452d, {0x9c, 0xdd, 0x5d, 0xb3, 0x51, 0x05, 0xe7, 0xeb}};

typedef BOOL (*DrawImageAbort)(void* callbackData);

struct GdiplusStartupInput {
    UINT32 GdiplusVersion;
    void* DebugEventCallback;
    BOOL SuppressBackgroundThread;
    BOOL SuppressExternalCodecs;
    GdiplusStartupInput(void* debugEventCallback = nullptr, BOOL suppressBackgroundThread = FALSE,
                        BOOL suppressExternalCodecs = FALSE)
        : GdiplusVersion(1),
          DebugEventCallback(debugEventCallback),
          SuppressBackgroundThread(suppressBackgroundThread),
          SuppressExternalCodecs(suppressExternalCodecs)
    {
    }
};

struct GdiplusStartupOutput {
    void* NotificationHook;
    void* NotificationUnhook;
};

/// A point of integer coordinates, x to the right and y down.
class Point {
public:
    /// The origin (0, 0).
    Point() : X(0), Y(0) {}
    /// The point (x, y).
    Point(INT x, INT y) : X(x), Y(y) {}
    /// True when both coordinates are equal.
    bool Equals(const Point& p) const { return X == p.X && Y == p.Y; }
    INT X;
    INT Y;
};

/// A point of floating-point coordinates.
class PointF {
public:
    /// The origin (0, 0).
    PointF() : X(0), Y(0) {}
    /// The point (x, y).
    PointF(REAL x, REAL y) : X(x), Y(y) {}
    REAL X;
    REAL Y;
};

/// A width and a height in integers.
class Size {
public:
    /// 0 × 0.
    Size() : Width(0), Height(0) {}
    /// w × h.
    Size(INT w, INT h) : Width(w), Height(h) {}
    INT Width;
    INT Height;
};

/// A rectangle given as X, Y (top-left corner), Width and Height, in integers; the right and bottom
/// edges (X + Width, Y + Height) lie just outside it.
class Rect {
public:
    /// The empty rectangle at the origin.
    Rect() : X(0), Y(0), Width(0), Height(0) {}
    /// The rectangle of top-left corner (x, y), width and height (not right and bottom).
    Rect(INT x, INT y, INT width, INT height) : X(x), Y(y), Width(width), Height(height) {}
    /// X.
    INT GetLeft() const { return X; }
    /// Y.
    INT GetTop() const { return Y; }
    /// X + Width.
    INT GetRight() const { return X + Width; }
    /// Y + Height.
    INT GetBottom() const { return Y + Height; }
    /// True when all four values are equal.
    bool Equals(const Rect& r) const { return X == r.X && Y == r.Y && Width == r.Width && Height == r.Height; }
    INT X;
    INT Y;
    INT Width;
    INT Height;
};

/// A rectangle given as X, Y, Width and Height, in floating point.
class RectF {
public:
    /// The empty rectangle at the origin.
    RectF() : X(0), Y(0), Width(0), Height(0) {}
    /// The rectangle of top-left corner (x, y), width and height.
    RectF(REAL x, REAL y, REAL width, REAL height) : X(x), Y(y), Width(width), Height(height) {}
    /// The rectangle of top-left corner origin, width and height.
    RectF(const PointF& origin, REAL width, REAL height) : X(origin.X), Y(origin.Y), Width(width), Height(height) {}
    /// X.
    REAL GetLeft() const { return X; }
    /// Y.
    REAL GetTop() const { return Y; }
    /// X + Width.
    REAL GetRight() const { return X + Width; }
    /// Y + Height.
    REAL GetBottom() const { return Y + Height; }
    REAL X;
    REAL Y;
    REAL Width;
    REAL Height;
};

/// A run of a string's characters: its first UTF-16 unit and how many units it holds.
class CharacterRange {
public:
    CharacterRange() : First(0), Length(0) {}
    CharacterRange(INT first, INT length) : First(first), Length(length) {}
    INT First;
    INT Length;
};

/// A colour as one 32-bit ARGB value: alpha in the top byte, then red, green, blue. Not premultiplied.
class Color {
public:
    /// Opaque black.
    Color() : Argb(0xFF000000) {}
    /// Opaque red, green, blue.
    Color(BYTE r, BYTE g, BYTE b) : Argb(MakeARGB(255, r, g, b)) {}
    /// Alpha, red, green, blue (in this order).
    Color(BYTE a, BYTE r, BYTE g, BYTE b) : Argb(MakeARGB(a, r, g, b)) {}
    /// A ready ARGB value, such as 0x80FF0000 (half-transparent red).
    Color(ARGB argb) : Argb(argb) {}
    /// The alpha byte (255 opaque, 0 transparent).
    BYTE GetAlpha() const { return BYTE(Argb >> AlphaShift); }
    /// The alpha byte.
    BYTE GetA() const { return GetAlpha(); }
    /// The red byte.
    BYTE GetRed() const { return BYTE(Argb >> RedShift); }
    /// The red byte.
    BYTE GetR() const { return GetRed(); }
    /// The green byte.
    BYTE GetGreen() const { return BYTE(Argb >> GreenShift); }
    /// The green byte.
    BYTE GetG() const { return GetGreen(); }
    /// The blue byte.
    BYTE GetBlue() const { return BYTE(Argb >> BlueShift); }
    /// The blue byte.
    BYTE GetB() const { return GetBlue(); }
    /// The 32-bit ARGB value.
    ARGB GetValue() const { return Argb; }
    /// Replaces the colour with the ARGB value.
    void SetValue(ARGB argb) { Argb = argb; }
    /// Packs alpha, red, green, blue into one ARGB value.
    static ARGB MakeARGB(BYTE a, BYTE r, BYTE g, BYTE b)
    {
        return (ARGB(b) << BlueShift) | (ARGB(g) << GreenShift) | (ARGB(r) << RedShift) | (ARGB(a) << AlphaShift);
    }

    /// Where each byte sits in an ARGB value.
    enum { AlphaShift = 24, RedShift = 16, GreenShift = 8, BlueShift = 0 };
    /// The named colours of GDI+.
    enum : ARGB {
        AliceBlue = 0xFFF0F8FF, AntiqueWhite = 0xFFFAEBD7, Aqua = 0xFF00FFFF, Aquamarine = 0xFF7FFFD4,
        Azure = 0xFFF0FFFF, Beige = 0xFFF5F5DC, Bisque = 0xFFFFE4C4, Black = 0xFF000000, BlanchedAlmond = 0xFFFFEBCD,
        Blue = 0xFF0000FF, BlueViolet = 0xFF8A2BE2, Brown = 0xFFA52A2A, BurlyWood = 0xFFDEB887,
        CadetBlue = 0xFF5F9EA0, Chartreuse = 0xFF7FFF00, Chocolate = 0xFFD2691E, Coral = 0xFFFF7F50,
        CornflowerBlue = 0xFF6495ED, Cornsilk = 0xFFFFF8DC, Crimson = 0xFFDC143C, Cyan = 0xFF00FFFF,
        DarkBlue = 0xFF00008B, DarkCyan = 0xFF008B8B, DarkGoldenrod = 0xFFB8860B, DarkGray = 0xFFA9A9A9,
        DarkGreen = 0xFF006400, DarkKhaki = 0xFFBDB76B, DarkMagenta = 0xFF8B008B, DarkOliveGreen = 0xFF556B2F,
        DarkOrange = 0xFFFF8C00, DarkOrchid = 0xFF9932CC, DarkRed = 0xFF8B0000, DarkSalmon = 0xFFE9967A,
        DarkSeaGreen = 0xFF8FBC8B, DarkSlateBlue = 0xFF483D8B, DarkSlateGray = 0xFF2F4F4F, DarkTurquoise = 0xFF00CED1,
        DarkViolet = 0xFF9400D3, DeepPink = 0xFFFF1493, DeepSkyBlue = 0xFF00BFFF, DimGray = 0xFF696969,
        DodgerBlue = 0xFF1E90FF, Firebrick = 0xFFB22222, FloralWhite = 0xFFFFFAF0, ForestGreen = 0xFF228B22,
        Fuchsia = 0xFFFF00FF, Gainsboro = 0xFFDCDCDC, GhostWhite = 0xFFF8F8FF, Gold = 0xFFFFD700,
        Goldenrod = 0xFFDAA520, Gray = 0xFF808080, Green = 0xFF008000, GreenYellow = 0xFFADFF2F,
        Honeydew = 0xFFF0FFF0, HotPink = 0xFFFF69B4, IndianRed = 0xFFCD5C5C, Indigo = 0xFF4B0082, Ivory = 0xFFFFFFF0,
        Khaki = 0xFFF0E68C, Lavender = 0xFFE6E6FA, LavenderBlush = 0xFFFFF0F5, LawnGreen = 0xFF7CFC00,
        LemonChiffon = 0xFFFFFACD, LightBlue = 0xFFADD8E6, LightCoral = 0xFFF08080, LightCyan = 0xFFE0FFFF,
        LightGoldenrodYellow = 0xFFFAFAD2, LightGray = 0xFFD3D3D3, LightGreen = 0xFF90EE90, LightPink = 0xFFFFB6C1,
        LightSalmon = 0xFFFFA07A, LightSeaGreen = 0xFF20B2AA, LightSkyBlue = 0xFF87CEFA, LightSlateGray = 0xFF778899,
        LightSteelBlue = 0xFFB0C4DE, LightYellow = 0xFFFFFFE0, Lime = 0xFF00FF00, LimeGreen = 0xFF32CD32,
        Linen = 0xFFFAF0E6, Magenta = 0xFFFF00FF, Maroon = 0xFF800000, MediumAquamarine = 0xFF66CDAA,
        MediumBlue = 0xFF0000CD, MediumOrchid = 0xFFBA55D3, MediumPurple = 0xFF9370DB, MediumSeaGreen = 0xFF3CB371,
        MediumSlateBlue = 0xFF7B68EE, MediumSpringGreen = 0xFF00FA9A, MediumTurquoise = 0xFF48D1CC,
        MediumVioletRed = 0xFFC71585, MidnightBlue = 0xFF191970, MintCream = 0xFFF5FFFA, MistyRose = 0xFFFFE4E1,
        Moccasin = 0xFFFFE4B5, NavajoWhite = 0xFFFFDEAD, Navy = 0xFF000080, OldLace = 0xFFFDF5E6, Olive = 0xFF808000,
        OliveDrab = 0xFF6B8E23, Orange = 0xFFFFA500, OrangeRed = 0xFFFF4500, Orchid = 0xFFDA70D6,
        PaleGoldenrod = 0xFFEEE8AA, PaleGreen = 0xFF98FB98, PaleTurquoise = 0xFFAFEEEE, PaleVioletRed = 0xFFDB7093,
        PapayaWhip = 0xFFFFEFD5, PeachPuff = 0xFFFFDAB9, Peru = 0xFFCD853F, Pink = 0xFFFFC0CB, Plum = 0xFFDDA0DD,
        PowderBlue = 0xFFB0E0E6, Purple = 0xFF800080, Red = 0xFFFF0000, RosyBrown = 0xFFBC8F8F,
        RoyalBlue = 0xFF4169E1, SaddleBrown = 0xFF8B4513, Salmon = 0xFFFA8072, SandyBrown = 0xFFF4A460,
        SeaGreen = 0xFF2E8B57, SeaShell = 0xFFFFF5EE, Sienna = 0xFFA0522D, Silver = 0xFFC0C0C0, SkyBlue = 0xFF87CEEB,
        SlateBlue = 0xFF6A5ACD, SlateGray = 0xFF708090, Snow = 0xFFFFFAFA, SpringGreen = 0xFF00FF7F,
        SteelBlue = 0xFF4682B4, Tan = 0xFFD2B48C, Teal = 0xFF008080, Thistle = 0xFFD8BFD8, Tomato = 0xFFFF6347,
        Transparent = 0x00FFFFFF, Turquoise = 0xFF40E0D0, Violet = 0xFFEE82EE, Wheat = 0xFFF5DEB3, White = 0xFFFFFFFF,
        WhiteSmoke = 0xFFF5F5F5, Yellow = 0xFFFFFF00, YellowGreen = 0xFF9ACD32
    };

protected:
    ARGB Argb;
};

struct BitmapData {
    UINT Width;
    UINT Height;
    INT Stride;
    Gdiplus::PixelFormat PixelFormat;
    void* Scan0;
    ULONG_PTR Reserved;
};

struct ColorMatrix {
    REAL m[5][5];
};

struct EncoderParameter {
    GUID Guid;
    ULONG NumberOfValues;
    ULONG Type;
    void* Value;
};

struct EncoderParameters {
    UINT Count;
    EncoderParameter Parameter[1];
};

struct ImageCodecInfo {
    CLSID Clsid;
    GUID FormatID;
    const WCHAR* CodecName;
    const WCHAR* DllName;
    const WCHAR* FormatDescription;
    const WCHAR* FilenameExtension;
    const WCHAR* MimeType;
    DWORD Flags;
    DWORD Version;
    DWORD SigCount;
    DWORD SigSize;
    const BYTE* SigPattern;
    const BYTE* SigMask;
};

}  // namespace Gdiplus

#pragma pop_macro("Status")
