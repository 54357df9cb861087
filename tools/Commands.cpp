#include "Commands.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "Fit.h"
#include "ScaledJpeg.h"

namespace {

// The engine draws through cairo, whose surfaces stop at this many pixels a side: a larger picture would
// come out blank (or stop the engine), so the tool refuses it.
constexpr int kLargestSide = 32767;

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

std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A file made beside the output for the result, removed unless it was renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& target)
    {
        std::string pattern = FolderOf(target) + "/.pictor-XXXXXX";
        const int fd = mkstemp(pattern.data());
        if (fd < 0) return;
        close(fd);
        m_path = pattern;
    }
    ~TemporaryFile()
    {
        if (!m_path.empty()) std::remove(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool Made() const { return !m_path.empty(); }
    const std::string& Path() const { return m_path; }
    // Gives the file the mode a new file would get, or the mode of the file it replaces, and renames it.
    bool MoveTo(const std::string& target)
    {
        struct stat old {};
        mode_t mode = 0666;
        if (stat(target.c_str(), &old) == 0) {
            mode = old.st_mode & 07777;
        } else {
            const mode_t mask = umask(0);
            umask(mask);
            mode &= ~mask;
        }
        if (chmod(m_path.c_str(), mode) != 0 || rename(m_path.c_str(), target.c_str()) != 0) return false;
        m_path.clear();
        return true;
    }

private:
    std::string m_path;
};

bool IsRegularFile(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The file to write for the output path: the path itself, or the target of a link. Refuses folders, other
// special files and existing files the user may not write.
bool ResolveTarget(const std::string& output, std::string& target, std::string& error)
{
    struct stat info {};
    target = output;
    if (lstat(output.c_str(), &info) != 0) return true;  // a new file
    if (S_ISLNK(info.st_mode)) {
        char resolved[PATH_MAX];
        if (!realpath(output.c_str(), resolved)) {
            error = "cannot write '" + output + "': it is a link to nothing";
            return false;
        }
        target = resolved;
        if (stat(target.c_str(), &info) != 0) return true;
    }
    if (S_ISDIR(info.st_mode)) {
        error = "cannot write '" + output + "': it is a folder";
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = "cannot write '" + output + "': not a regular file";
        return false;
    }
    if (access(target.c_str(), W_OK) != 0) {
        error = "cannot write '" + output + "': the file is write-protected";
        return false;
    }
    return true;
}

Gdiplus::RotateFlipType TurnType(int turn, bool mirror)
{
    const int quarter = turn / 90 % 4;
    return static_cast<Gdiplus::RotateFlipType>(quarter + (mirror ? 4 : 0));
}

bool Fits(int width, int height) { return width >= 1 && height >= 1 && width <= kLargestSide && height <= kLargestSide; }

std::string SizeText(int width, int height) { return std::to_string(width) + "x" + std::to_string(height); }

// True when the canvas really holds a picture of that size (its bitmap was made).
bool Holds(CFxPictor& canvas, int width, int height)
{
    Gdiplus::Bitmap* bitmap = canvas.GetBitmap();
    return canvas.GetSize() == CSize(width, height) && bitmap && bitmap->GetWidth() == UINT(width) &&
           bitmap->GetHeight() == UINT(height);
}

std::string TooLarge(int width, int height)
{
    return "a " + SizeText(width, height) + " picture is larger than the engine can draw (" +
           std::to_string(kLargestSide) + " pixels a side)";
}

// Decodes the input and puts it on the canvas, turned as the job asks; a picture the engine cannot draw
// is refused before anything is drawn.
bool Load(CFxPictor& canvas, const Job& job, const std::string& input, std::string& error)
{
    const CString path(input);
    Gdiplus::Image picture(path);
    if (picture.GetLastStatus() != Gdiplus::Ok) {
        error = "cannot read '" + input + "': not a picture this tool can decode";
        return false;
    }
    if (job.command == "rotate") picture.RotateFlip(TurnType(job.turn, job.mirror));
    const int width = static_cast<int>(picture.GetWidth()), height = static_cast<int>(picture.GetHeight());
    if (!Fits(width, height)) {
        error = "cannot read '" + input + "': " + TooLarge(width, height);
        return false;
    }
    canvas.CopyFromImage(&picture);
    if (!Holds(canvas, width, height)) {
        error = "cannot read '" + input + "': not enough memory for a " + SizeText(width, height) + " picture";
        return false;
    }
    return true;
}

// Writes the canvas with the encoder of the output's type; the encoder's status decides.
bool Encode(CFxPictor& canvas, const std::string& path, const char* mime, int quality)
{
    CLSID encoder;
    if (canvas.GetEncCLSID(CString(mime).GetString(), &encoder) != 1) return false;
    ULONG jpegQuality = static_cast<ULONG>(quality);
    Gdiplus::EncoderParameters parameters;
    parameters.Count = 1;
    parameters.Parameter[0].Guid = Gdiplus::EncoderQuality;
    parameters.Parameter[0].NumberOfValues = 1;
    parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    parameters.Parameter[0].Value = &jpegQuality;
    const bool jpeg = std::string(mime) == "image/jpeg";
    return canvas.GetBitmap()->Save(CString(path), &encoder, jpeg ? &parameters : nullptr) == Gdiplus::Ok;
}

// The written file decodes to the canvas's size; lossless types also give back every opaque pixel
// (the engine's BMP and TIFF encoders report success even for a file cut short).
bool WrittenIntact(CFxPictor& canvas, const std::string& path, const char* mime)
{
    CFxPictor back;
    const CSize size = canvas.GetSize();
    if (back.LoadImageW(CString(path)) != 1 || !Holds(back, size.cx, size.cy)) return false;
    const std::string type = mime;
    if (type == "image/jpeg" || type == "image/gif") return true;
    const size_t count = static_cast<size_t>(size.cx) * size.cy * 4;
    std::vector<BYTE> made(count), read(count);
    canvas.GetBits(made.data(), 0, 0, size.cx, size.cy);
    back.GetBits(read.data(), 0, 0, size.cx, size.cy);
    for (size_t i = 0; i < count; i += 4)
        if (made[i + 3] == 255 && (read[i] != made[i] || read[i + 1] != made[i + 1] || read[i + 2] != made[i + 2]))
            return false;
    return true;
}

// Applies the job's change to the loaded picture; false, with the reason, when the result cannot be made.
bool Change(CFxPictor& canvas, const Job& job, const std::string& input, std::string& error)
{
    const CSize size = canvas.GetSize();
    int width = size.cx, height = size.cy;
    if (job.command == "thumb") {
        width = job.width;
        height = job.height;
    } else if (job.command == "crop") {
        int x = job.x, y = job.y;
        width = job.w;
        height = job.h;
        if (canvas.ClipXYWH(x, y, width, height) == 0) {
            error = "the crop rectangle lies outside the " + SizeText(size.cx, size.cy) + " picture '" + input + "'";
            return false;
        }
        canvas.Crop(x, y, width, height);
    }
    if (!Fits(width, height)) {
        error = TooLarge(width, height);
        return false;
    }
    if (job.command == "thumb") canvas.ReSampling(width, height, job.fit ? 1 : 0, 255, 255, 255);
    if (!Holds(canvas, width, height)) {
        error = "not enough memory for a " + SizeText(width, height) + " picture";
        return false;
    }
    return true;
}

// A thumbnail straight from a JPEG file decoded at a reduced scale, drawn as ReSampling draws it (the place
// of a fitted picture worked out from its full size); false when the file takes the ordinary road (not such
// a JPEG, damaged, too large to be loaded whole, or a thumbnail size the engine cannot draw), or, with the
// reason in refusal, when its scans ask for more work or memory than its size warrants (the library would
// refuse it after the same work).
bool ThumbOfJpeg(CFxPictor& canvas, const Job& job, const std::string& input, std::string& refusal)
{
    ScaledJpeg jpeg(input);
    const int fullWidth = jpeg.FullWidth(), fullHeight = jpeg.FullHeight();
    if (!jpeg.Valid() || !Gdiplus::BitmapSizeFits(fullWidth, fullHeight) || !Fits(job.width, job.height)) return false;
    pictor::FitResult place{0, 0, job.width, job.height};
    if (job.fit) place = pictor::FitInto(fullWidth, fullHeight, job.width, job.height);
    std::vector<uint8_t> pixels;
    int width = 0, height = 0;
    if (!jpeg.Decode(place.width, place.height, pixels, width, height)) {
        if (jpeg.Refused())
            refusal = "cannot read '" + input + "': its scans would take more work or memory than a " +
                      SizeText(fullWidth, fullHeight) + " picture needs";
        return false;
    }
    Gdiplus::Bitmap picture(width, height, width * 4, PixelFormat32bppRGB, pixels.data());
    canvas.Init(nullptr, job.width, job.height);
    if (picture.GetLastStatus() != Gdiplus::Ok || !Holds(canvas, job.width, job.height)) return false;
    Gdiplus::Graphics& graphics = *canvas.m_pGraphics;
    graphics.SetSmoothingMode(Gdiplus::SmoothingModeHighQuality);
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeBicubic);
    graphics.Clear(Gdiplus::Color(255, 255, 255, 255));
    const Gdiplus::RectF to(static_cast<float>(place.x), static_cast<float>(place.y), static_cast<float>(place.width),
                            static_cast<float>(place.height));
    return graphics.DrawImage(&picture, to, 0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height),
                              Gdiplus::UnitPixel, nullptr) == Gdiplus::Ok;
}

}  // namespace

QuietEngine::QuietEngine(bool letThrough)
{
    if (letThrough) return;
    std::fflush(stdout);
    std::fflush(stderr);
    m_out = dup(STDOUT_FILENO);
    m_err = dup(STDERR_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        close(null);
    }
}

QuietEngine::~QuietEngine()
{
    std::fflush(stdout);
    std::fflush(stderr);
    if (m_out >= 0) dup2(m_out, STDOUT_FILENO), close(m_out);
    if (m_err >= 0) dup2(m_err, STDERR_FILENO), close(m_err);
}

void QuietEngine::Say(const std::string& text)
{
    const std::lock_guard<std::mutex> one(m_saying);
    const int fd = m_err >= 0 ? m_err : STDERR_FILENO;
    for (size_t done = 0; done < text.size();) {
        const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
        if (wrote <= 0) return;
        done += static_cast<size_t>(wrote);
    }
}

bool KnownOutputType(const std::string& path) { return MimeOf(path) != nullptr; }

std::string CanonicalPath(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    char resolved[PATH_MAX];
    if (!realpath(FolderOf(path).c_str(), resolved)) return path;
    return std::string(resolved) + "/" + name;
}

bool RunJob(const Job& job, const std::string& input, const std::string& output, std::string& error)
{
    if (!IsRegularFile(input)) {
        error = "cannot read '" + input + "': no such file";
        return false;
    }
    std::string target;
    if (!ResolveTarget(output, target, error)) return false;

    CFxPictor canvas;
    std::string refusal;
    const bool madeFromJpeg = job.command == "thumb" && ThumbOfJpeg(canvas, job, input, refusal);
    if (!refusal.empty()) {
        error = refusal;
        return false;
    }
    if (!madeFromJpeg && (!Load(canvas, job, input, error) || !Change(canvas, job, input, error))) return false;

    const char* mime = MimeOf(output);
    TemporaryFile written(target);
    if (!written.Made() || !Encode(canvas, written.Path(), mime, job.quality) ||
        !WrittenIntact(canvas, written.Path(), mime) || !written.MoveTo(target)) {
        error = "cannot write '" + output + "'" + (written.Made() ? "" : ": its folder is missing or not writable");
        return false;
    }
    return true;
}
