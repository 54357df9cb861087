#include "Stream.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "GlobalMemory.h"

namespace {

// The block is locked for each access only, so that it stays movable between calls.
class HGlobalStream final : public IStream {
public:
    HGlobalStream(HGLOBAL block, bool deleteOnRelease) : m_block(block), m_deleteOnRelease(deleteOnRelease) {}

    HRESULT QueryInterface(const IID& riid, void** ppvObject) override
    {
        if (!ppvObject) return E_POINTER;
        if (!(riid == IID_IUnknown) && !(riid == IID_IStream)) {
            *ppvObject = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        *ppvObject = static_cast<IStream*>(this);
        return S_OK;
    }

    ULONG AddRef() override { return ++m_refs; }

    ULONG Release() override
    {
        ULONG left = --m_refs;
        if (left == 0) delete this;
        return left;
    }

    HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) override
    {
        if (!pv && cb) return STG_E_INVALIDPOINTER;
        size_t size = GlobalSize(m_block);
        size_t count = m_position < size ? std::min<size_t>(cb, size - m_position) : 0;
        if (count) {
            auto* data = static_cast<const BYTE*>(GlobalLock(m_block));
            if (!data) return E_FAIL;
            std::memcpy(pv, data + m_position, count);
            GlobalUnlock(m_block);
            m_position += count;
        }
        if (pcbRead) *pcbRead = static_cast<ULONG>(count);
        return count == cb ? S_OK : S_FALSE;
    }

    HRESULT Write(const void* pv, ULONG cb, ULONG* pcbWritten) override
    {
        if (pcbWritten) *pcbWritten = 0;
        if (!pv && cb) return STG_E_INVALIDPOINTER;
        if (cb == 0) return S_OK;
        size_t end = m_position + cb;
        if (end > GlobalSize(m_block) && !GlobalReAlloc(m_block, end, GMEM_MOVEABLE)) return STG_E_MEDIUMFULL;
        auto* data = static_cast<BYTE*>(GlobalLock(m_block));
        if (!data) return E_FAIL;
        std::memcpy(data + m_position, pv, cb);
        GlobalUnlock(m_block);
        m_position = end;
        if (pcbWritten) *pcbWritten = cb;
        return S_OK;
    }

    HRESULT Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition) override
    {
        long long base = 0;
        if (dwOrigin == STREAM_SEEK_CUR)
            base = static_cast<long long>(m_position);
        else if (dwOrigin == STREAM_SEEK_END)
            base = static_cast<long long>(GlobalSize(m_block));
        else if (dwOrigin != STREAM_SEEK_SET)
            return STG_E_INVALIDFUNCTION;
        long long target = base + dlibMove.QuadPart;
        if (target < 0) return STG_E_INVALIDFUNCTION;
        m_position = static_cast<size_t>(target);
        if (plibNewPosition) plibNewPosition->QuadPart = m_position;
        return S_OK;
    }

    HRESULT SetSize(ULARGE_INTEGER libNewSize) override
    {
        return GlobalReAlloc(m_block, static_cast<size_t>(libNewSize.QuadPart), GMEM_MOVEABLE) ? S_OK
                                                                                                 : STG_E_MEDIUMFULL;
    }

    HRESULT Stat(STATSTG* pstatstg, DWORD) override
    {
        if (!pstatstg) return STG_E_INVALIDPOINTER;
        pstatstg->cbSize.QuadPart = GlobalSize(m_block);
        return S_OK;
    }

private:
    ~HGlobalStream()
    {
        if (m_deleteOnRelease) GlobalFree(m_block);
    }

    HGLOBAL m_block;
    bool m_deleteOnRelease;
    size_t m_position = 0;
    std::atomic<ULONG> m_refs{1};
};

}  // namespace

HRESULT CreateStreamOnHGlobal(HGLOBAL hGlobal, BOOL fDeleteOnRelease, LPSTREAM* ppstm)
{
    if (!ppstm) return E_INVALIDARG;
    if (!hGlobal) {
        hGlobal = GlobalAlloc(GMEM_MOVEABLE, 0);
        if (!hGlobal) return E_OUTOFMEMORY;
    }
    *ppstm = new HGlobalStream(hGlobal, fDeleteOnRelease != FALSE);
    return S_OK;
}
