// Writing the canvas as a JPEG file, and finding an engine encoder by its MIME type.
#include "FxPictor.h"

int CFxPictor::GetEncCLSID(const WCHAR* format, CLSID* pClsid)
{
    return Gdiplus::FindImageEncoder(format, pClsid) ? 1 : 0;
}

int CFxPictor::GetEncCLSID(const wchar_t* format, CLSID* pClsid)
{
    // Wide text (as L"image/jpeg") is looked up as its UTF-16 form; a null type matches nothing.
    return GetEncCLSID(CString(format).GetString(), pClsid);
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
