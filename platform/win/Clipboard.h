// The clipboard: opened by one thread at a time (with or without an owner window), it holds one handle
// per format, or a data object handed over with OleSetClipboard that it owns from then on and asks for
// the data when a format is read.
// When an X display is reachable, bitmaps (CF_BITMAP) live on the desktop's clipboard instead (see
// DesktopClipboard.h): a bitmap put there is offered to every program as image/png and image/bmp and
// stays after this process ends, and a bitmap read is the picture another program offers. Other
// formats, and everything when there is no display, stay in this process.
#pragma once

#include "Stream.h"

typedef WORD CLIPFORMAT;
#define CF_TEXT 1
#define CF_BITMAP 2
#define CF_UNICODETEXT 13

BOOL OpenClipboard(HWND hWndNewOwner);
BOOL CloseClipboard();
// Frees every handle and releases the data object; needs the clipboard open.
BOOL EmptyClipboard();
// The clipboard takes the handle (a bitmap handle for CF_BITMAP, a global block otherwise).
HANDLE SetClipboardData(UINT format, HANDLE hMem);
// The handle stays the clipboard's. Null when the clipboard is not open or has no such format.
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);

// How the last exchange of a bitmap with the clipboard went.
enum class ClipboardStatus {
    Ok,           // the desktop's clipboard took or gave the picture
    NoDisplay,    // no display could be reached: this process's own clipboard was used
    NoPicture,    // the clipboard offers no picture (nothing, or text only)
    NoAnswer,     // the program holding the clipboard did not answer in time
    DisplayLost,  // the display went away during the exchange
    BadPicture,   // what came could not be read as a picture
    NoHelper,     // the helper program could not be started or did not take the picture
};
// The status of the last bitmap exchange made by this process.
ClipboardStatus GetClipboardStatus();

// Data transfer records.
enum TYMED { TYMED_NULL = 0, TYMED_HGLOBAL = 1, TYMED_FILE = 2, TYMED_ISTREAM = 4, TYMED_GDI = 16 };
#define DVASPECT_CONTENT 1

typedef struct tagFORMATETC {
    CLIPFORMAT cfFormat;
    void* ptd;
    DWORD dwAspect;
    LONG lindex;
    DWORD tymed;
} FORMATETC;

typedef struct tagSTGMEDIUM {
    DWORD tymed;
    union {
        HBITMAP hBitmap;
        HGLOBAL hGlobal;
        IStream* pstm;
    };
    // When set, releasing the medium releases this object instead of freeing the handle.
    IUnknown* pUnkForRelease;
} STGMEDIUM;

// Frees the medium's handle, or releases its pUnkForRelease when it has one.
void ReleaseStgMedium(STGMEDIUM* pmedium);

// {0000010E-0000-0000-C000-000000000046}
const IID IID_IDataObject = {0x0000010E, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct IDataObject : IUnknown {
    // Fills the medium for the format; the receiver releases it with ReleaseStgMedium.
    virtual HRESULT GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium) = 0;
    // S_OK when the object can give the format.
    virtual HRESULT QueryGetData(FORMATETC* pformatetc) = 0;

protected:
    ~IDataObject() = default;
};

#define CLIPBRD_E_CANT_OPEN ((HRESULT)0x800401D0)

// Empties the clipboard and puts the data object on it, with a reference of its own; null just empties.
HRESULT OleSetClipboard(IDataObject* pDataObj);
