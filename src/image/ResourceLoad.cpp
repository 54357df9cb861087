// Pictures from the application's resources: bitmap resources drawn into the canvas, and "PNG"
// resources decoded into a bitmap for the caller.
#include <cstring>
#include <memory>

#include "FxPictor.h"
#include "Unscaled.h"
#include "win/GlobalMemory.h"
#include "win/Resources.h"
#include "win/Stream.h"

namespace {

// Resources are read from the application's module, not from this library's.
HINSTANCE ApplicationInstance() { return AfxGetModuleState()->m_hCurrentInstanceHandle; }

// Only the identifier's low 16 bits name a resource.
LPCWSTR ResourceName(unsigned long id) { return MAKEINTRESOURCEW(id & 0xFFFF); }

}  // namespace

int CFxPictor::LoadResource(long nResourceId)
{
    std::unique_ptr<Gdiplus::Bitmap> bitmap(
        Gdiplus::Bitmap::FromResource(ApplicationInstance(), ResourceName(static_cast<unsigned long>(nResourceId))));
    int width = static_cast<int>(bitmap->GetWidth());
    int height = static_cast<int>(bitmap->GetHeight());
    Init(width, height);
    if (m_pGraphics) m_pGraphics->DrawImage(bitmap.get(), 0, 0);
    return 1;
}

int CFxPictor::LoadResource(int nFrame, long nResourceId)
{
    std::unique_ptr<Gdiplus::Bitmap> bitmap(
        Gdiplus::Bitmap::FromResource(ApplicationInstance(), ResourceName(static_cast<unsigned long>(nResourceId))));
    // Frames sit side by side, each as wide as the canvas; the offset wraps as 32-bit arithmetic does.
    int frameX = static_cast<int>(static_cast<uint32_t>(nFrame) * static_cast<uint32_t>(m_nWidth));
    pictor::DrawUnscaled(m_pGraphics, bitmap.get(), 0, 0, frameX, 0, m_nWidth, m_nHeight);
    return 1;
}

bool CFxPictor::LoadBitmapFromPNG(unsigned int nResourceId, Gdiplus::Bitmap** ppBitmap, HINSTANCE hInstance)
{
    HINSTANCE module = hInstance ? hInstance : ApplicationInstance();
    HRSRC info = FindResourceW(module, ResourceName(nResourceId), u"PNG");
    if (!info) return false;
    DWORD size = SizeofResource(module, info);
    if (size == 0) return false;
    HGLOBAL resource = ::LoadResource(module, info);
    const void* bytes = resource ? LockResource(resource) : nullptr;
    if (!bytes) return false;

    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block) return false;
    void* copy = GlobalLock(block);
    if (!copy) {
        GlobalFree(block);
        return false;
    }
    std::memcpy(copy, bytes, size);

    IStream* stream = nullptr;
    if (CreateStreamOnHGlobal(block, FALSE, &stream) != S_OK) {
        GlobalUnlock(block);
        GlobalFree(block);
        return false;
    }
    Gdiplus::Bitmap* bitmap = Gdiplus::Bitmap::FromStream(stream);
    *ppBitmap = bitmap;
    stream->Release();
    GlobalUnlock(block);
    // The stream leaves its block alone; the block goes when the bitmap that was read from it goes.
    bitmap->TieToImage(std::shared_ptr<void>(block, [](void* b) { GlobalFree(b); }));
    return true;
}
