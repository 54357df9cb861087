// Writing the canvas as a JPEG file, and finding an engine encoder by its MIME type.
#include <vector>

#include "FxPictor.h"

int CFxPictor::GetEncCLSID(const WCHAR* format, CLSID* pClsid)
{
    int result = 0;
    UINT count = 0, size = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return result;
    // The list is fetched anew each time, into memory of the size the engine asks for.
    std::vector<unsigned char> block(size);
    auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(block.data());
    if (Gdiplus::GetImageEncoders(count, size, encoders) != Gdiplus::Ok) return result;
    for (UINT i = 0; i < count; ++i) {
        const WCHAR* mime = encoders[i].MimeType;
        if (!mime || !format) continue;
        // Exact match, unit for unit, the terminating null included: no case folding.
        size_t n = 0;
        while (mime[n] == format[n] && mime[n] != 0) ++n;
        if (mime[n] == format[n]) {
            *pClsid = encoders[i].Clsid;
            result = 1;
            break;
        }
    }
    return result;
}

void CFxPictor::SaveJPG(CString strFile, unsigned long nQuality)
{
    CLSID jpeg;
    if (!GetEncCLSID(u"image/jpeg", &jpeg)) return;
    // The quality goes to the encoder as given, as a 32-bit unsigned value.
    ULONG quality = static_cast<ULONG>(nQuality);
    Gdiplus::EncoderParameters parameters;
    parameters.Count = 1;
    parameters.Parameter[0].Guid = Gdiplus::EncoderQuality;
    parameters.Parameter[0].NumberOfValues = 1;
    parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    parameters.Parameter[0].Value = &quality;
    if (m_pBitmap) m_pBitmap->Save(strFile, &jpeg, &parameters);
}
