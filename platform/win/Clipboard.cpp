#include "Clipboard.h"

#include <map>
#include <mutex>
#include <thread>

#include <cstring>
#include <memory>
#include <vector>

#include "../gdiplus/Gdiplus.h"
#include "DesktopClipboard.h"
#include "GdiObjects.h"
#include "GlobalMemory.h"

namespace {

class ClipboardState {
public:
    // What is left on the clipboard when the process ends is freed then, like any other handle.
    ~ClipboardState() { Empty(); }

    std::recursive_mutex lock;
    bool open = false;
    std::thread::id opener;
    // One medium per format: handles set directly, and data rendered from the data object.
    std::map<UINT, STGMEDIUM> entries;
    IDataObject* dataObject = nullptr;
    // Bitmaps read from (or put on) the desktop's clipboard while it is open, freed when it closes.
    std::map<UINT, HBITMAP> desktop;
    ClipboardStatus status = ClipboardStatus::Ok;

    bool OpenedHere() const { return open && opener == std::this_thread::get_id(); }

    void Empty()
    {
        for (auto& entry : entries) ReleaseStgMedium(&entry.second);
        entries.clear();
        if (dataObject) dataObject->Release();
        dataObject = nullptr;
        ForgetDesktop();
    }

    void ForgetDesktop()
    {
        for (auto& entry : desktop) DeleteObject(entry.second);
        desktop.clear();
    }
};

ClipboardState& State()
{
    static ClipboardState state;
    return state;
}

DWORD MediumOf(UINT format) { return format == CF_BITMAP ? TYMED_GDI : TYMED_HGLOBAL; }

// Offers the bitmap on the desktop's clipboard; NoDisplay when there is none to offer it on.
ClipboardStatus OfferBitmap(HBITMAP hBitmap)
{
    if (!DesktopClipboardReachable()) return ClipboardStatus::NoDisplay;
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromHBITMAP(hBitmap, nullptr));
    Gdiplus::Rect all(0, 0, static_cast<INT>(bitmap->GetWidth()), static_cast<INT>(bitmap->GetHeight()));
    Gdiplus::BitmapData data{};
    if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok)
        return ClipboardStatus::BadPicture;
    ClipboardStatus status = DesktopClipboardOffer(static_cast<const uint8_t*>(data.Scan0), data.Stride,
                                                   static_cast<int>(data.Width), static_cast<int>(data.Height));
    bitmap->UnlockBits(&data);
    return status;
}

// A bitmap handle made from PNG or BMP file bytes; null when they are no picture.
HBITMAP DecodeBitmap(const std::vector<uint8_t>& bytes)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!block) return nullptr;
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    IStream* stream = nullptr;
    if (CreateStreamOnHGlobal(block, TRUE, &stream) != S_OK) {
        GlobalFree(block);
        return nullptr;
    }
    HBITMAP handle = nullptr;
    {
        Gdiplus::Bitmap picture(stream);
        if (picture.GetLastStatus() == Gdiplus::Ok) picture.GetHBITMAP(Gdiplus::Color(0xFFFFFFFF), &handle);
    }
    stream->Release();
    return handle;
}

// The desktop clipboard's picture as a bitmap handle kept until the clipboard closes; NoDisplay when
// there is no desktop clipboard to read.
HANDLE TakeBitmap(ClipboardState& state)
{
    auto kept = state.desktop.find(CF_BITMAP);
    if (kept != state.desktop.end()) {
        state.status = ClipboardStatus::Ok;
        return kept->second;
    }
    std::vector<uint8_t> bytes;
    state.status = DesktopClipboardTake(bytes);
    if (state.status != ClipboardStatus::Ok) return nullptr;
    HBITMAP handle = DecodeBitmap(bytes);
    if (!handle) {
        state.status = ClipboardStatus::BadPicture;
        return nullptr;
    }
    state.desktop[CF_BITMAP] = handle;
    return handle;
}

}  // namespace

BOOL OpenClipboard(HWND)
{
    ClipboardState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.lock);
    if (state.open && !state.OpenedHere()) return FALSE;
    state.open = true;
    state.opener = std::this_thread::get_id();
    return TRUE;
}

BOOL CloseClipboard()
{
    ClipboardState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.lock);
    if (!state.OpenedHere()) return FALSE;
    state.open = false;
    state.ForgetDesktop();
    return TRUE;
}

BOOL EmptyClipboard()
{
    ClipboardState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.lock);
    if (!state.OpenedHere()) return FALSE;
    state.Empty();
    DesktopClipboardClear();
    return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE hMem)
{
    ClipboardState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.lock);
    if (!state.OpenedHere() || !hMem) return nullptr;
    if (format == CF_BITMAP) {
        state.status = OfferBitmap(static_cast<HBITMAP>(hMem));
        if (state.status != ClipboardStatus::NoDisplay) {
            // Kept until the clipboard closes, as the desktop holds its own copy.
            state.ForgetDesktop();
            state.desktop[CF_BITMAP] = static_cast<HBITMAP>(hMem);
            return state.status == ClipboardStatus::Ok ? hMem : nullptr;
        }
    }
    auto it = state.entries.find(format);
    if (it != state.entries.end()) {
        ReleaseStgMedium(&it->second);
        state.entries.erase(it);
    }
    STGMEDIUM medium{};
    medium.tymed = MediumOf(format);
    medium.hGlobal = hMem;
    state.entries[format] = medium;
    return hMem;
}

HANDLE GetClipboardData(UINT format)
{
    ClipboardState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.lock);
    if (!state.OpenedHere()) return nullptr;
    if (format == CF_BITMAP) {
        HANDLE taken = TakeBitmap(state);
        if (state.status != ClipboardStatus::NoDisplay) return taken;
    }
    auto it = state.entries.find(format);
    if (it != state.entries.end()) return it->second.hGlobal;
    if (!state.dataObject) return nullptr;

    FORMATETC wanted{static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, MediumOf(format)};
    STGMEDIUM medium{};
    if (state.dataObject->QueryGetData(&wanted) != S_OK || state.dataObject->GetData(&wanted, &medium) != S_OK)
        return nullptr;
    // Rendered once, kept until the clipboard is emptied.
    state.entries[format] = medium;
    return medium.hGlobal;
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    ClipboardState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.lock);
    if (format == CF_BITMAP) {
        std::vector<uint8_t> none;
        state.status = DesktopClipboardTake(none, true);
        if (state.status != ClipboardStatus::NoDisplay) return state.status == ClipboardStatus::Ok ? TRUE : FALSE;
    }
    if (state.entries.count(format)) return TRUE;
    FORMATETC wanted{static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, MediumOf(format)};
    return state.dataObject && state.dataObject->QueryGetData(&wanted) == S_OK ? TRUE : FALSE;
}

void ReleaseStgMedium(STGMEDIUM* pmedium)
{
    if (!pmedium) return;
    if (pmedium->pUnkForRelease) {
        pmedium->pUnkForRelease->Release();
    } else if (pmedium->tymed == TYMED_GDI) {
        DeleteObject(pmedium->hBitmap);
    } else if (pmedium->tymed == TYMED_HGLOBAL) {
        GlobalFree(pmedium->hGlobal);
    } else if (pmedium->tymed == TYMED_ISTREAM && pmedium->pstm) {
        pmedium->pstm->Release();
    }
    pmedium->tymed = TYMED_NULL;
    pmedium->hGlobal = nullptr;
    pmedium->pUnkForRelease = nullptr;
}

HRESULT OleSetClipboard(IDataObject* pDataObj)
{
    ClipboardState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.lock);
    // The clipboard is opened for the handover; whoever holds it open now keeps it.
    if (state.open) return CLIPBRD_E_CANT_OPEN;
    state.Empty();
    // A bitmap goes to the desktop's clipboard, which keeps a copy of its own; the object is not kept.
    FORMATETC bitmap{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI};
    STGMEDIUM medium{};
    if (pDataObj && pDataObj->QueryGetData(&bitmap) == S_OK && pDataObj->GetData(&bitmap, &medium) == S_OK) {
        state.status = OfferBitmap(medium.hBitmap);
        ReleaseStgMedium(&medium);
        if (state.status == ClipboardStatus::Ok) return S_OK;
        if (state.status != ClipboardStatus::NoDisplay) return E_FAIL;
    } else if (!pDataObj) {
        DesktopClipboardClear();
    }
    if (pDataObj) pDataObj->AddRef();
    state.dataObject = pDataObj;
    return S_OK;
}

ClipboardStatus GetClipboardStatus()
{
    ClipboardState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.lock);
    return state.status;
}
