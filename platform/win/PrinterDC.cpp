#include "PrinterDC.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <cups/cups.h>

#include <cstdio>
#include <cstring>

#include "../mfc/Afx.h"

namespace {

// Every step of talking to a scheduler gives up after this long.
constexpr int kSchedulerTimeoutMs = 10000;

cairo_status_t AppendTo(void* closure, const unsigned char* data, unsigned int length)
{
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

// A copy of the page's pixels that cairo owns (the page is opaque, so its alpha is dropped).
cairo_surface_t* PageImage(const CMemoryDC& page)
{
    Gdiplus::Rect all(0, 0, page.Width(), page.Height());
    Gdiplus::BitmapData data{};
    if (page.Surface()->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &data) != Gdiplus::Ok)
        return nullptr;
    cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, page.Width(), page.Height());
    if (cairo_surface_status(image) == CAIRO_STATUS_SUCCESS) {
        unsigned char* target = cairo_image_surface_get_data(image);
        int stride = cairo_image_surface_get_stride(image);
        for (int y = 0; y < page.Height(); ++y)
            std::memcpy(target + static_cast<size_t>(y) * stride,
                        static_cast<const unsigned char*>(data.Scan0) + static_cast<size_t>(y) * data.Stride,
                        static_cast<size_t>(page.Width()) * 4);
        cairo_surface_mark_dirty(image);
    }
    page.Surface()->UnlockBits(&data);
    return image;
}

bool WriteFile(const std::string& path, const std::string& bytes)
{
    // Written aside and renamed, so a failed write leaves no damaged document behind.
    std::string part = path + ".part";
    FILE* file = std::fopen(part.c_str(), "wb");
    if (!file) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = std::fclose(file) == 0 && written;
    if (written && std::rename(part.c_str(), path.c_str()) == 0) return true;
    std::remove(part.c_str());
    return false;
}

struct HttpCloser {
    void operator()(http_t* http) const { httpClose(http); }
};

// "name@host:port" names a destination on another server than the default one.
void SplitDestination(const std::string& where, std::string& name, std::string& host, int& port)
{
    size_t at = where.find('@');
    name = where.substr(0, at);
    host = cupsServer();
    port = ippPort();
    if (at == std::string::npos) return;
    host = where.substr(at + 1);
    size_t colon = host.rfind(':');
    if (colon != std::string::npos && host.find(']', colon) == std::string::npos) {
        port = std::atoi(host.c_str() + colon + 1);
        host.resize(colon);
    }
}

}  // namespace

// The PDF document of a job: cairo writes it into memory as pages are added.
struct CPrinterDC::Document {
    std::string pdf;
    cairo_surface_t* surface = nullptr;

    Document(double width, double height) : surface(cairo_pdf_surface_create_for_stream(AppendTo, &pdf, width, height)) {}
    ~Document()
    {
        if (surface) cairo_surface_destroy(surface);
    }
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    bool AddPage(const CMemoryDC& page, float dpi)
    {
        double scale = 72.0 / dpi;
        cairo_pdf_surface_set_size(surface, page.Width() * scale, page.Height() * scale);
        cairo_surface_t* image = PageImage(page);
        if (!image) return false;
        cairo_t* cr = cairo_create(surface);
        cairo_scale(cr, scale, scale);
        cairo_set_source_surface(cr, image, 0, 0);
        // The page is already at the printer's resolution: no smoothing of its pixels.
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
        cairo_paint(cr);
        cairo_show_page(cr);
        bool drawn = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
        cairo_destroy(cr);
        cairo_surface_destroy(image);
        return drawn && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    }

    // Completes the document; false when cairo could not make it.
    bool Finish()
    {
        cairo_surface_finish(surface);
        return cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    }
};

CPrinterDC::CPrinterDC(PrintOutput output, std::string where, int pageWidth, int pageHeight, float dpi)
    : m_output(output), m_where(std::move(where)), m_pageWidth(pageWidth), m_pageHeight(pageHeight), m_dpi(dpi)
{
}

CPrinterDC::CPrinterDC(std::string basePath, int pageWidth, int pageHeight, float dpi)
    : CPrinterDC(PrintOutput::PngPages, std::move(basePath), pageWidth, pageHeight, dpi)
{
}

CPrinterDC CPrinterDC::A4(PrintOutput output, std::string where, float dpi)
{
    // 210 × 297 mm.
    return CPrinterDC(output, std::move(where), static_cast<int>(210.0f / 25.4f * dpi + 0.5f),
                      static_cast<int>(297.0f / 25.4f * dpi + 0.5f), dpi);
}

CPrinterDC CPrinterDC::A4(std::string basePath, float dpi) { return A4(PrintOutput::PngPages, std::move(basePath), dpi); }

CPrinterDC::~CPrinterDC() = default;
CPrinterDC::CPrinterDC(CPrinterDC&&) noexcept = default;
CPrinterDC& CPrinterDC::operator=(CPrinterDC&&) noexcept = default;

bool CPrinterDC::Fail(PrintStatus status)
{
    if (m_status == PrintStatus::Ok || (m_status == PrintStatus::StrayPage && status != PrintStatus::StrayPage))
        m_status = status;
    return false;
}

// A page call out of order is reported, but what was drawn is kept: the open page ends as EndPage would.
void CPrinterDC::EndStrayPage()
{
    Fail(PrintStatus::StrayPage);
    EndPage();
}

HDC CPrinterDC::StartPage()
{
    if (m_ended) return nullptr;
    if (m_page) EndStrayPage();
    m_page.reset(new CMemoryDC(m_pageWidth, m_pageHeight, 0xFFFFFFFF, m_dpi));
    return m_page->GetSafeHdc();
}

std::string CPrinterDC::PagePath(int page) const { return m_where + "-" + std::to_string(page) + ".png"; }

bool CPrinterDC::EndPage()
{
    if (!m_page) return Fail(PrintStatus::StrayPage);
    std::unique_ptr<CMemoryDC> page = std::move(m_page);
    ++m_pageCount;
    if (m_output == PrintOutput::PngPages)
        return page->SavePng(CString(PagePath(m_pageCount).c_str())) || Fail(PrintStatus::CannotWrite);
    double scale = 72.0 / m_dpi;
    if (!m_document) m_document.reset(new Document(m_pageWidth * scale, m_pageHeight * scale));
    return m_document->AddPage(*page, m_dpi) || Fail(PrintStatus::CannotWrite);
}

bool CPrinterDC::EndDoc(const std::string& title)
{
    if (m_ended) return Fail(PrintStatus::Ended);
    m_ended = true;
    if (m_page) EndPage();  // the last page may be left for the job's end to close
    if (m_pageCount == 0) return Fail(PrintStatus::NoPage);
    if (m_status != PrintStatus::Ok && m_status != PrintStatus::StrayPage) return false;
    if (m_output == PrintOutput::PngPages) return true;

    std::unique_ptr<Document> document = std::move(m_document);
    if (!document->Finish()) return Fail(PrintStatus::CannotWrite);
    if (m_output == PrintOutput::PdfFile) return WriteFile(m_where, document->pdf) || Fail(PrintStatus::CannotWrite);
    return SendToQueue(document->pdf, title);
}

bool CPrinterDC::SendToQueue(const std::string& pdf, const std::string& title)
{
    std::string name, host;
    int port = 0;
    SplitDestination(m_where, name, host, port);
    std::unique_ptr<http_t, HttpCloser> http(
        httpConnect2(host.c_str(), port, nullptr, AF_UNSPEC, cupsEncryption(), 1, kSchedulerTimeoutMs, nullptr));
    if (!http) return Fail(PrintStatus::NoScheduler);
    // No callback: a scheduler that stops answering ends the job's transfer.
    httpSetTimeout(http.get(), kSchedulerTimeoutMs / 1000.0, nullptr, nullptr);

    if (name.empty()) {
        const char* standard = cupsGetDefault2(http.get());
        if (!standard) return Fail(cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE ? PrintStatus::NoScheduler
                                                                                           : PrintStatus::NoDestination);
        name = standard;
    }
    // One Print-Job request carries the document.
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", 0, "/printers/%s", name.c_str());
    std::string resource = "/printers/" + name;
    ipp_t* request = ippNewRequest(IPP_OP_PRINT_JOB);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, title.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_MIMETYPE, "document-format", nullptr, CUPS_FORMAT_PDF);
    http_status_t sending = cupsSendRequest(http.get(), request, resource.c_str(), ippLength(request) + pdf.size());
    if (sending == HTTP_STATUS_CONTINUE) sending = cupsWriteRequestData(http.get(), pdf.data(), pdf.size());
    ipp_t* response = sending == HTTP_STATUS_CONTINUE ? cupsGetResponse(http.get(), resource.c_str()) : nullptr;
    ippDelete(request);
    ipp_status_t answer = response ? ippGetStatusCode(response) : cupsLastError();
    if (ipp_attribute_t* job = response ? ippFindAttribute(response, "job-id", IPP_TAG_INTEGER) : nullptr)
        m_jobId = ippGetInteger(job, 0);
    ippDelete(response);
    if (response && answer <= IPP_STATUS_OK_CONFLICTING) return true;
    if (answer == IPP_STATUS_ERROR_NOT_FOUND) return Fail(PrintStatus::NoDestination);
    return Fail(response ? PrintStatus::Refused : PrintStatus::NoScheduler);
}
