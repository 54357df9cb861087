// COleDataSource: data offered for transfer, cached by format, and handed to the clipboard.
#pragma once

#include <atomic>
#include <vector>

#include "../win/Clipboard.h"

class COleDataSource : public IDataObject {
public:
    // Made on the heap with one reference, which SetClipboard hands to the clipboard.
    COleDataSource() = default;
    COleDataSource(const COleDataSource&) = delete;
    COleDataSource& operator=(const COleDataSource&) = delete;

    // Takes the medium's contents for the format (replacing earlier data of that format); the caller's
    // STGMEDIUM record itself stays the caller's. A null format description means the default one.
    void CacheData(CLIPFORMAT cfFormat, STGMEDIUM* lpStgMedium, FORMATETC* lpFormatEtc = nullptr);
    // Puts this source on the clipboard, which owns it from then on; when the clipboard cannot take it,
    // the source is released here.
    void SetClipboard();
    // Frees all cached data.
    void Empty();

    HRESULT QueryInterface(const IID& riid, void** ppvObject) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium) override;
    HRESULT QueryGetData(FORMATETC* pformatetc) override;

protected:
    virtual ~COleDataSource();

private:
    struct CacheEntry {
        FORMATETC format;
        STGMEDIUM medium;
    };
    const CacheEntry* Find(const FORMATETC* format) const;

    std::vector<CacheEntry> m_cache;
    std::atomic<ULONG> m_refs{1};
};
