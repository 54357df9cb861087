// A printer on this platform: a document of pages, each a white page surface at the printer's
// resolution that is written out as a PNG file when the page ends.
#pragma once

#include <memory>
#include <string>

#include "MemoryDC.h"

class CPrinterDC {
public:
    // Pages of pageWidth × pageHeight device pixels at dpi; page n is written to "<basePath>-<n>.png".
    CPrinterDC(std::string basePath, int pageWidth, int pageHeight, float dpi);
    // A4 portrait at the given resolution.
    static CPrinterDC A4(std::string basePath, float dpi);

    // Starts a new blank page and returns its device context (null while no page is started).
    HDC StartPage();
    // Writes the current page; false when it could not be written or no page was started.
    bool EndPage();

    HDC GetSafeHdc() const { return m_page ? m_page->GetSafeHdc() : nullptr; }
    const CMemoryDC* Page() const { return m_page.get(); }
    int PageCount() const { return m_pageCount; }
    std::string PagePath(int page) const;

private:
    std::string m_basePath;
    int m_pageWidth;
    int m_pageHeight;
    float m_dpi;
    int m_pageCount = 0;
    std::unique_ptr<CMemoryDC> m_page;
};
