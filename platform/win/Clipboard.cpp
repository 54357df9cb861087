#include "Clipboard.h"

#include <map>
#include <mutex>
#include <thread>

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

    bool OpenedHere() const { return open && opener == std::this_thread::get_id(); }

    void Empty()
    {
        for (auto& entry : entries) ReleaseStgMedium(&entry.second);
        entries.clear();
        if (dataObject) dataObject->Release();
        dataObject = nullptr;
    }
};

ClipboardState& State()
{
    static ClipboardState state;
    return state;
}

DWORD MediumOf(UINT format) { return format == CF_BITMAP ? TYMED_GDI : TYMED_HGLOBAL; }

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
    return TRUE;
}

BOOL EmptyClipboard()
{
    ClipboardState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.lock);
    if (!state.OpenedHere()) return FALSE;
    state.Empty();
    return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE hMem)
{
    ClipboardState& state = State();
    std::lock_guard<std::recursive_mutex> guard(state.lock);
    if (!state.OpenedHere() || !hMem) return nullptr;
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
    if (pDataObj) pDataObj->AddRef();
    state.dataObject = pDataObj;
    return S_OK;
}
