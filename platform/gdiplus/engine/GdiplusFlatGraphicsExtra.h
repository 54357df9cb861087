// Flat functions and types of the engine for drawing-context extras (containers, coordinate spaces, pixel
// offset, rendering origin, text contrast) and for font metrics and font collections.
#pragma once

#pragma push_macro("Status")
#undef Status

#include <cstdint>

#include "../GdiplusTypes.h"

// A repeated identical typedef is allowed, should the Windows types gain it too.
typedef uint16_t UINT16;

/// A GDI logical font, laid out as Windows and libgdiplus lay it out.
struct LOGFONTW {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
};

namespace Gdiplus {

/// A container begun by Graphics::BeginContainer, ended by Graphics::EndContainer.
typedef UINT GraphicsContainer;

/// The coordinate spaces Graphics::TransformPoints maps between.
enum CoordinateSpace { CoordinateSpaceWorld = 0, CoordinateSpacePage = 1, CoordinateSpaceDevice = 2 };

/// Where pixel centres lie: on whole coordinates (default, none, high speed) or half a pixel off (half,
/// high quality).
enum PixelOffsetMode {
    PixelOffsetModeInvalid = -1,
    PixelOffsetModeDefault = 0,
    PixelOffsetModeHighSpeed = 1,
    PixelOffsetModeHighQuality = 2,
    PixelOffsetModeNone = 3,
    PixelOffsetModeHalf = 4
};

/// Whether Graphics::Flush returns at once or once drawing is done.
enum FlushIntention { FlushIntentionFlush = 0, FlushIntentionSync = 1 };

namespace DllExports {

extern "C" {

// Drawing-context extras.
Status GdipSetPixelOffsetMode(GpGraphics* graphics, PixelOffsetMode mode);
Status GdipGetPixelOffsetMode(GpGraphics* graphics, PixelOffsetMode* mode);
Status GdipSetRenderingOrigin(GpGraphics* graphics, INT x, INT y);
Status GdipGetRenderingOrigin(GpGraphics* graphics, INT* x, INT* y);
Status GdipSetTextContrast(GpGraphics* graphics, UINT contrast);
Status GdipGetTextContrast(GpGraphics* graphics, UINT* contrast);
Status GdipFlush(GpGraphics* graphics, FlushIntention intention);

// Fonts.
Status GdipCreateFontFromLogfontW(HDC hdc, const LOGFONTW* logfont, GpFont** font);
Status GdipGetLogFontW(GpFont* font, GpGraphics* graphics, LOGFONTW* logfont);
Status GdipGetFontHeight(const GpFont* font, const GpGraphics* graphics, REAL* height);
Status GdipGetFontHeightGivenDPI(const GpFont* font, REAL dpi, REAL* height);
Status GdipGetFontUnit(GpFont* font, Unit* unit);
Status GdipGetEmHeight(const GpFontFamily* family, INT style, UINT16* emHeight);
Status GdipGetCellAscent(const GpFontFamily* family, INT style, UINT16* cellAscent);
Status GdipGetCellDescent(const GpFontFamily* family, INT style, UINT16* cellDescent);
Status GdipGetLineSpacing(const GpFontFamily* family, INT style, UINT16* lineSpacing);
Status GdipIsStyleAvailable(const GpFontFamily* family, INT style, BOOL* isStyleAvailable);
Status GdipCloneFontFamily(GpFontFamily* family, GpFontFamily** clone);

// Font collections.
Status GdipNewInstalledFontCollection(GpFontCollection** collection);
Status GdipNewPrivateFontCollection(GpFontCollection** collection);
Status GdipDeletePrivateFontCollection(GpFontCollection** collection);
Status GdipPrivateAddFontFile(GpFontCollection* collection, const WCHAR* filename);
Status GdipGetFontCollectionFamilyCount(GpFontCollection* collection, INT* count);
Status GdipGetFontCollectionFamilyList(GpFontCollection* collection, INT numSought, GpFontFamily* families[],
                                      INT* numFound);

}  // extern "C"

}  // namespace DllExports
}  // namespace Gdiplus

#pragma pop_macro("Status")
