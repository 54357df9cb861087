// TIFF files read and written by the layer with libtiff: every page of a file can be decoded (the engine
// decodes the first only), and a file of several pages is written page by page for Save / SaveAdd.
// libtiff's messages go to handlers of each open file, never to stderr.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "GdiplusDecode.h"

struct IStream;

namespace Gdiplus {

// Decodes the TIFF file's first page into picture, with a source that keeps the whole file for its other
// pages. OutOfMemory for a file or page too large to hold, as GDI+ gives for what it cannot read.
Status DecodeTiff(PictureBytes& bytes, DecodedPicture& picture);

// Decodes page (from 0) of the TIFF file held in memory into picture, as 32bppARGB.
Status DecodeTiffPage(const std::vector<BYTE>& file, UINT page, DecodedPicture& picture);

// What Image keeps of a TIFF file: its bytes and its page count (GdiplusImageExtra.cpp).
std::shared_ptr<PictureSource> DescribeTiffSource(std::vector<BYTE>&& file, UINT pageCount);

// True when the encoder is the TIFF encoder.
bool IsTiffEncoder(const CLSID* clsidEncoder);

// A TIFF file being written, a page at a time; the file is finished when the writer is.
class TiffWriter {
public:
    // A writer of the named file, or null when it cannot be created.
    static std::unique_ptr<TiffWriter> ToFile(const std::string& path);
    // A writer into the stream from its current position (kept referenced until the writer finishes), or null.
    static std::unique_ptr<TiffWriter> ToStream(IStream* stream);
    ~TiffWriter();
    TiffWriter(const TiffWriter&) = delete;
    TiffWriter& operator=(const TiffWriter&) = delete;

    // Appends the bitmap's pixels as the next page (RGB, or RGBA when its format has alpha; LZW).
    Status AddPage(DllExports::GpImage* image);
    // Writes out what is left and closes the file; Win32Error when that failed.
    Status Finish();

private:
    struct Output;
    explicit TiffWriter(std::unique_ptr<Output> output);
    std::unique_ptr<Output> output;
    UINT pages = 0;
};

}  // namespace Gdiplus
