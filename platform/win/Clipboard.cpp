#include "Clipboard.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <thread>

#include <cstring>
#include <memory>
#include <vector>

#include "../gdiplus/Gdiplus.h"
#include "ClipboardPicture.h"
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

// Offers the bitmap on the desktop's clipboard; NoDisplay when there is none to offer it on. Its rows
// go to the helper as they are, a band at a time.
ClipboardStatus OfferBitmap(HBITMAP hBitmap)
{
    if (!DesktopClipboardReachable()) return ClipboardStatus::NoDisplay;
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromHBITMAP(hBitmap, nullptr));
    const int width = static_cast<int>(bitmap->GetWidth()), height = static_cast<int>(bitmap->GetHeight());
    if (width <= 0 || height <= 0) return ClipboardStatus::BadPicture;
    return DesktopClipboardOffer(width, height, [&](int first, int count, uint8_t* out) {
        Gdiplus::Rect band(0, first, width, count);
        Gdiplus::BitmapData data{};
        if (bitmap->LockBits(&band, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok)
            return false;
        const size_t rowBytes = static_cast<size_t>(width) * 4;
        for (int y = 0; y < count; ++y)
            std::memcpy(out + rowBytes * static_cast<size_t>(y),
                        static_cast<const uint8_t*>(data.Scan0) + static_cast<ptrdiff_t>(y) * data.Stride, rowBytes);
        bitmap->UnlockBits(&data);
        return true;
    });
}

// Writes rows of the rectangle (x, y, width) of a premultiplied 32-bit view (null: no pixels) laid over
// white, as DesktopRows asks for them; white where the view has no pixel.
bool AreaRowsOverWhite(const Gdiplus::BitmapData* view, int x, int y, int width, int first, int count, uint8_t* out)
{
    const long long left = x, right = left + width;
    const long long from = view ? std::max(left, 0LL) : left,
                    to = view ? std::min<long long>(right, view->Width) : left;
    for (int row = 0; row < count; ++row) {
        uint32_t* target = reinterpret_cast<uint32_t*>(out) + static_cast<size_t>(row) * static_cast<size_t>(width);
        const long long sourceRow = static_cast<long long>(y) + first + row;
        if (!view || from >= to || sourceRow < 0 || sourceRow >= view->Height) {
            std::fill(target, target + width, 0xFFFFFFFFu);
            continue;
        }
        std::fill(target, target + (from - left), 0xFFFFFFFFu);
        const auto* source = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(view->Scan0) +
                                                               static_cast<ptrdiff_t>(sourceRow) * view->Stride);
        PremultipliedOverWhite(source + from, target + (from - left), static_cast<int>(to - from));
        std::fill(target + (to - left), target + width, 0xFFFFFFFFu);
    }
    return true;
}

// A bitmap handle for a picture decoded from the desktop (already opaque); the decoded copy goes.
HBITMAP HandleOf(std::unique_ptr<Gdiplus::Bitmap> picture)
{
    HBITMAP handle = nullptr;
    if (picture)
        Gdiplus::DllExports::GdipCreateHBITMAPFromBitmap(picture->NativeBitmap(), &handle, Gdiplus::ARGB(0xFFFFFFFF));
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
    ClipboardPictureDecoder decoder([](int width, int height) { return new Gdiplus::Bitmap(width, height); });
    state.status = DesktopClipboardTake(decoder);
    if (state.status != ClipboardStatus::Ok) return nullptr;
    HBITMAP handle = HandleOf(decoder.Finish());
    if (!handle) {
        state.status = ClipboardStatus::BadPicture;
        return nullptr;
    }
    state.desktop[CF_BITMAP] = handle;
    return handle;
}

// What this process's own clipboard holds in the format (rendered from the data object when needed).
HANDLE InProcessData(ClipboardState& state, UINT format)
{
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
    return InProcessData(state, format);
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    ClipboardState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.lock);
    if (format == CF_BITMAP) {
        state.status = DesktopClipboardOffersPicture();
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

bool OfferClipboardArea(Gdiplus::Bitmap* bitmap, int x, int y, int width, int height)
{
    ClipboardState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.lock);
    if (state.open) return true;
    Gdiplus::BitmapData view{};
    // A view of the pixels themselves: nothing of the picture is copied here.
    if (bitmap && (bitmap->GetPixelFormat() != PixelFormat32bppPARGB ||
                   bitmap->LockBits(nullptr, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &view) != Gdiplus::Ok))
        return false;
    bool reachable = DesktopClipboardReachable();
    if (reachable) {
        state.Empty();
        if (width <= 0 || height <= 0 || !Gdiplus::BitmapSizeFits(width, height))
            state.status = ClipboardStatus::BadPicture;
        else
            state.status = DesktopClipboardOffer(width, height, [&](int first, int count, uint8_t* out) {
                return AreaRowsOverWhite(bitmap ? &view : nullptr, x, y, width, first, count, out);
            });
    }
    if (bitmap) bitmap->UnlockBits(&view);
    return reachable;
}

std::unique_ptr<Gdiplus::Bitmap> TakeClipboardPicture(const PictureBitmapMaker& make, HANDLE& handle)
{
    handle = nullptr;
    ClipboardState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.lock);
    if (!state.OpenedHere()) return nullptr;
    auto kept = state.desktop.find(CF_BITMAP);
    if (kept != state.desktop.end()) {
        state.status = ClipboardStatus::Ok;
        handle = kept->second;
        return nullptr;
    }
    ClipboardPictureDecoder decoder(make);
    state.status = DesktopClipboardTake(decoder);
    if (state.status == ClipboardStatus::NoDisplay) {
        handle = InProcessData(state, CF_BITMAP);
        return nullptr;
    }
    if (state.status != ClipboardStatus::Ok) return nullptr;
    std::unique_ptr<Gdiplus::Bitmap> picture = decoder.Finish();
    if (!picture) state.status = ClipboardStatus::BadPicture;
    return picture;
}

ClipboardStatus GetClipboardStatus()
{
    ClipboardState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.lock);
    return state.status;
}
