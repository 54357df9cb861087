#include "AfxOle.h"

COleDataSource::~COleDataSource() { Empty(); }

void COleDataSource::CacheData(CLIPFORMAT cfFormat, STGMEDIUM* lpStgMedium, FORMATETC* lpFormatEtc)
{
    if (!lpStgMedium) return;
    FORMATETC format = lpFormatEtc ? *lpFormatEtc : FORMATETC{cfFormat, nullptr, DVASPECT_CONTENT, -1, 0};
    format.cfFormat = cfFormat;
    format.tymed = lpStgMedium->tymed;
    for (CacheEntry& entry : m_cache) {
        if (entry.format.cfFormat == cfFormat) {
            ReleaseStgMedium(&entry.medium);
            entry = CacheEntry{format, *lpStgMedium};
            return;
        }
    }
    m_cache.push_back(CacheEntry{format, *lpStgMedium});
}

void COleDataSource::SetClipboard()
{
    // The clipboard keeps its own reference; ours is given up either way.
    OleSetClipboard(this);
    Release();
}

void COleDataSource::Empty()
{
    for (CacheEntry& entry : m_cache) ReleaseStgMedium(&entry.medium);
    m_cache.clear();
}

HRESULT COleDataSource::QueryInterface(const IID& riid, void** ppvObject)
{
    if (!ppvObject) return E_POINTER;
    if (!(riid == IID_IUnknown) && !(riid == IID_IDataObject)) {
        *ppvObject = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    *ppvObject = static_cast<IDataObject*>(this);
    return S_OK;
}

ULONG COleDataSource::AddRef() { return ++m_refs; }

ULONG COleDataSource::Release()
{
    ULONG left = --m_refs;
    if (left == 0) delete this;
    return left;
}

const COleDataSource::CacheEntry* COleDataSource::Find(const FORMATETC* format) const
{
    if (!format) return nullptr;
    for (const CacheEntry& entry : m_cache)
        if (entry.format.cfFormat == format->cfFormat && (format->tymed & entry.format.tymed)) return &entry;
    return nullptr;
}

HRESULT COleDataSource::QueryGetData(FORMATETC* pformatetc) { return Find(pformatetc) ? S_OK : S_FALSE; }

HRESULT COleDataSource::GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium)
{
    if (!pmedium) return E_INVALIDARG;
    const CacheEntry* entry = Find(pformatetcIn);
    if (!entry) return S_FALSE;
    // The receiver reads the cached handle and, by releasing the medium, gives back the reference.
    *pmedium = entry->medium;
    pmedium->pUnkForRelease = this;
    AddRef();
    return S_OK;
}
