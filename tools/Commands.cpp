#include "Commands.h"

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>

namespace {

std::string Extension(const std::string& path)
{
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    std::string ext = path.substr(dot + 1);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

const char* MimeOf(const std::string& path)
{
    const std::string ext = Extension(path);
    if (ext == "jpg" || ext == "jpeg") return "image/jpeg";
    if (ext == "png") return "image/png";
    if (ext == "bmp") return "image/bmp";
    if (ext == "gif") return "image/gif";
    if (ext == "tif" || ext == "tiff") return "image/tiff";
    return nullptr;
}

bool NonEmptyFile(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
}

Gdiplus::RotateFlipType TurnType(int turn, bool mirror)
{
    const int quarter = turn / 90 % 4;
    return static_cast<Gdiplus::RotateFlipType>(quarter + (mirror ? 4 : 0));
}

bool Load(CFxPictor& canvas, const Job& job, const std::string& input)
{
    const CString path(input.c_str());
    if (job.command == "rotate") return canvas.LoadImageW(path, nullptr, TurnType(job.turn, job.mirror)) == 1;
    return canvas.LoadImageW(path) == 1;
}

bool Save(CFxPictor& canvas, const std::string& output, int quality)
{
    const CString path(output.c_str());
    const std::string mime = MimeOf(output);
    if (mime == "image/jpeg") {
        canvas.SaveJPG(path, quality);
    } else {
        CLSID encoder;
        if (canvas.GetEncCLSID(CString(mime.c_str()), &encoder) != 1) return false;
        if (canvas.GetBitmap()->Save(path, &encoder, nullptr) != Gdiplus::Ok) return false;
    }
    return NonEmptyFile(output);
}

}  // namespace

bool KnownOutputType(const std::string& path) { return MimeOf(path) != nullptr; }

bool RunJob(const Job& job, const std::string& input, const std::string& output, std::string& error)
{
    if (!NonEmptyFile(input)) {
        error = "cannot read '" + input + "': no such file";
        return false;
    }
    CFxPictor canvas;
    if (!Load(canvas, job, input)) {
        error = "cannot read '" + input + "': not a picture this tool can decode";
        return false;
    }
    if (job.command == "thumb") {
        canvas.ReSampling(job.width, job.height, job.fit ? 1 : 0, 255, 255, 255);
    } else if (job.command == "crop") {
        const CSize size = canvas.GetSize();
        int x = job.x, y = job.y, w = job.w, h = job.h;
        if (canvas.ClipXYWH(x, y, w, h) == 0) {
            error = "the crop rectangle lies outside the " + std::to_string(size.cx) + "x" + std::to_string(size.cy) +
                    " picture '" + input + "'";
            return false;
        }
        canvas.Crop(x, y, w, h);
    }
    if (!Save(canvas, output, job.quality)) {
        std::remove(output.c_str());
        error = "cannot write '" + output + "'";
        return false;
    }
    return true;
}
