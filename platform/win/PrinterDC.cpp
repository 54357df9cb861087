#include "PrinterDC.h"

#include "../mfc/Afx.h"

CPrinterDC::CPrinterDC(std::string basePath, int pageWidth, int pageHeight, float dpi)
    : m_basePath(std::move(basePath)), m_pageWidth(pageWidth), m_pageHeight(pageHeight), m_dpi(dpi)
{
}

CPrinterDC CPrinterDC::A4(std::string basePath, float dpi)
{
    // 210 × 297 mm.
    return CPrinterDC(std::move(basePath), static_cast<int>(210.0f / 25.4f * dpi + 0.5f),
                      static_cast<int>(297.0f / 25.4f * dpi + 0.5f), dpi);
}

HDC CPrinterDC::StartPage()
{
    m_page.reset(new CMemoryDC(m_pageWidth, m_pageHeight, 0xFFFFFFFF, m_dpi));
    return m_page->GetSafeHdc();
}

std::string CPrinterDC::PagePath(int page) const { return m_basePath + "-" + std::to_string(page) + ".png"; }

bool CPrinterDC::EndPage()
{
    if (!m_page) return false;
    ++m_pageCount;
    bool written = m_page->SavePng(CString(PagePath(m_pageCount).c_str()));
    m_page.reset();
    return written;
}
