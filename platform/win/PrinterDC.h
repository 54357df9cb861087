// A printer on this platform: a print job of pages, each a white page surface at the printer's
// resolution. When a page ends it joins the job's PDF document (a page per page, at the page's physical
// size), which goes to a CUPS destination or to a PDF file when the job ends; or, for tests and previews,
// each page is written as a PNG file.
#pragma once

#include <memory>
#include <string>

#include "MemoryDC.h"

// Where the pages of a print job go.
enum class PrintOutput {
    Queue,     // a CUPS destination: "name", "name@host[:port]", or "" for the default destination
    PdfFile,   // one PDF file at the given path
    PngPages,  // page n written to "<path>-<n>.png" when it ends
};

// How a print job stands: Ok until something goes wrong; the first failure is kept, except that a stray
// page call gives way to a failure that loses the job.
enum class PrintStatus {
    Ok,
    StrayPage,      // EndPage without a started page, or StartPage while a page is open (that page is
                    // ended and kept): every page drawn still prints
    NoPage,         // EndDoc of a job without pages
    CannotWrite,    // a file could not be written, or the document could not be made
    NoScheduler,    // no CUPS scheduler answered at the destination's server
    NoDestination,  // the scheduler has no such destination (or no default one)
    Refused,        // the scheduler did not accept the job or its document
    Ended,          // the job has already ended
};

class CPrinterDC {
public:
    // A job of pageWidth × pageHeight device pixels at dpi, going where `output` and `where` say.
    CPrinterDC(PrintOutput output, std::string where, int pageWidth, int pageHeight, float dpi);
    // PNG pages: page n is written to "<basePath>-<n>.png".
    CPrinterDC(std::string basePath, int pageWidth, int pageHeight, float dpi);
    // A4 portrait at the given resolution.
    static CPrinterDC A4(PrintOutput output, std::string where, float dpi);
    static CPrinterDC A4(std::string basePath, float dpi);
    // A job that has not ended is dropped: nothing is printed.
    ~CPrinterDC();
    CPrinterDC(CPrinterDC&&) noexcept;
    CPrinterDC& operator=(CPrinterDC&&) noexcept;

    // Starts a new blank page and returns its device context (null once the job has ended). A page still
    // open is ended first, and the job reports StrayPage.
    HDC StartPage();
    // Ends the current page; false when it could not be kept, or when no page was started (StrayPage).
    bool EndPage();
    // Ends the job, and the page still open: the document goes to its file or queue. False when it did
    // not (see Status()).
    bool EndDoc(const std::string& title = "PICTOR document");

    HDC GetSafeHdc() const { return m_page ? m_page->GetSafeHdc() : nullptr; }
    const CMemoryDC* Page() const { return m_page.get(); }
    int PageCount() const { return m_pageCount; }
    std::string PagePath(int page) const;
    PrintStatus Status() const { return m_status; }
    // The job number the scheduler gave, 0 before (or without) one.
    int JobId() const { return m_jobId; }

private:
    struct Document;
    bool Fail(PrintStatus status);
    void EndStrayPage();
    bool SendToQueue(const std::string& pdf, const std::string& title);

    PrintOutput m_output;
    std::string m_where;
    int m_pageWidth;
    int m_pageHeight;
    float m_dpi;
    int m_pageCount = 0;
    int m_jobId = 0;
    bool m_ended = false;
    PrintStatus m_status = PrintStatus::Ok;
    std::unique_ptr<CMemoryDC> m_page;
    std::unique_ptr<Document> m_document;
};
