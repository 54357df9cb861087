// JPEG files written with libjpeg-turbo straight from a bitmap's pixels. The engine's encoder copies every
// row into a packed RGB line first, one pixel at a time, which made saving a fifth slower than libjpeg-turbo
// alone; here libjpeg-turbo reads the 32-bit rows as they are and converts them with its vector code.
#include <csetjmp>
#include <cstdio>
#include <memory>
#include <string>

#include "../../win/Utf.h"
#include "../Gdiplus.h"
#include "JpegEncoder.h"
#include "JpegErrors.h"
#include "../pipeline/PixelView.h"

namespace Gdiplus {

namespace {

// The quality the engine reads from the parameters, 0 when they give none (libjpeg's default then stays).
int QualityOf(const EncoderParameters* parameters)
{
    if (!parameters) return 0;
    for (UINT i = 0; i < parameters->Count; ++i) {
        const EncoderParameter& parameter = parameters->Parameter[i];
        if (!(parameter.Guid == EncoderQuality) || !parameter.Value) continue;
        switch (parameter.Type) {
        case EncoderParameterValueTypeLong: return *static_cast<const int*>(parameter.Value);
        case EncoderParameterValueTypeLongRange: {
            const int* range = static_cast<const int*>(parameter.Value);
            return (range[0] + range[1]) / 2;
        }
        case EncoderParameterValueTypeByte: return *static_cast<const unsigned char*>(parameter.Value);
        case EncoderParameterValueTypeShort: return *static_cast<const short*>(parameter.Value);
        default: return 80;
        }
    }
    return 0;
}

// Encodes every row into the open file; false when libjpeg failed (a write error, say). Only plain data
// lives in this frame, as a failure jumps back into it.
bool Compress(const PixelView& pixels, FILE* file, const EncoderParameters* parameters)
{
    jpeg_compress_struct info;
    JpegErrors errors;
    info.err = AttachJpegErrors(errors);
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file);
    info.image_width = static_cast<JDIMENSION>(pixels.Width());
    info.image_height = static_cast<JDIMENSION>(pixels.Height());
    info.input_components = 4;
    info.in_color_space = JCS_EXT_BGRX;  // the stored bytes as they are: premultiplied, alpha dropped
    jpeg_set_defaults(&info);
    // As the engine's encoder: libjpeg's scaling of the quality, tables not forced to baseline.
    if (const int quality = QualityOf(parameters)) jpeg_set_quality(&info, quality, FALSE);
    jpeg_start_compress(&info, TRUE);
    JSAMPROW rows[16];
    while (info.next_scanline < info.image_height) {
        const JDIMENSION first = info.next_scanline;
        JDIMENSION count = 0;
        for (; count < 16 && first + count < info.image_height; ++count)
            rows[count] = reinterpret_cast<JSAMPROW>(pixels.Row(static_cast<INT>(first + count)));
        jpeg_write_scanlines(&info, rows, count);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

bool IsJpegEncoder(const CLSID* clsidEncoder)
{
    static CLSID jpeg{};
    static const bool listed = FindImageEncoder(u"image/jpeg", &jpeg);
    return listed && clsidEncoder && *clsidEncoder == jpeg;
}

bool SaveJpegFile(DllExports::GpImage* image, const WCHAR* filename, const EncoderParameters* parameters,
                  Status& status)
{
    const PixelView pixels(image, ViewedFormats::PremultipliedOrOpaque);
    if (!pixels.Valid()) return false;
    const std::string path = filename ? Utf16ToUtf8(filename) : std::string();
    if (path.empty()) {
        status = InvalidParameter;
        return true;
    }
    const std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    const bool written = file && Compress(pixels, file.get(), parameters);
    status = written ? Ok : GenericError;
    return true;
}

}  // namespace Gdiplus
