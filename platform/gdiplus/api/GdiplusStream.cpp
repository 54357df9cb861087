// Images decoded from streams and from a module's bitmap resources. The engine reads a stream through
// callbacks that carry no context, so the stream being decoded is kept per thread for the one call.
#include <algorithm>
#include <cstring>
#include <vector>

#include "../../win/GlobalMemory.h"
#include "../../win/Resources.h"
#include "../../win/Stream.h"
#include "../Gdiplus.h"
#include "../codecs/GdiplusDecode.h"

namespace Gdiplus {

namespace {

thread_local IStream* t_decoding = nullptr;

long long Position(IStream* stream)
{
    LARGE_INTEGER zero{};
    ULARGE_INTEGER position{};
    return FAILED(stream->Seek(zero, STREAM_SEEK_CUR, &position)) ? -1 : static_cast<long long>(position.QuadPart);
}

// Reads up to size bytes (into nothing when buffer is null, which skips them); with peek the stream
// goes back to where it was.
int ReadDecoded(BYTE* buffer, int size, bool peek)
{
    IStream* stream = t_decoding;
    if (!stream || size < 0) return -1;
    long long start = Position(stream);
    std::vector<BYTE> skipped;
    if (!buffer) {
        skipped.resize(static_cast<size_t>(size));
        buffer = skipped.data();
    }
    ULONG read = 0;
    if (FAILED(stream->Read(buffer, static_cast<ULONG>(size), &read))) return -1;
    if (peek && start >= 0) {
        LARGE_INTEGER back{};
        back.QuadPart = start;
        stream->Seek(back, STREAM_SEEK_SET, nullptr);
    }
    return static_cast<int>(read);
}

// The engine looks at the first bytes to tell the format and reads them again afterwards.
int GetHeader(BYTE* buffer, int size) { return ReadDecoded(buffer, size, true); }
int GetBytes(BYTE* buffer, int size, BOOL peek) { return ReadDecoded(buffer, size, peek != FALSE); }
int PutBytes(BYTE*, int) { return -1; }
void CloseStream() {}

long SeekStream(int offset, int whence)
{
    if (!t_decoding || whence < STREAM_SEEK_SET || whence > STREAM_SEEK_END) return -1;
    LARGE_INTEGER move{};
    move.QuadPart = offset;
    ULARGE_INTEGER position{};
    if (FAILED(t_decoding->Seek(move, static_cast<DWORD>(whence), &position))) return -1;
    return static_cast<long>(position.QuadPart);
}

long StreamSize()
{
    STATSTG stat{};
    if (!t_decoding || FAILED(t_decoding->Stat(&stat, STATFLAG_NONAME))) return -1;
    return static_cast<long>(stat.cbSize.QuadPart);
}

// A stream read at offsets from the position it had when the load began.
class StreamBytes : public PictureBytes {
public:
    explicit StreamBytes(IStream* s) : stream(s), start(Position(s)) {}

    size_t ReadAt(unsigned long long offset, void* buffer, size_t size) override
    {
        if (start < 0 || !SeekTo(start + static_cast<long long>(offset))) return 0;
        size_t done = 0;
        while (done < size) {
            const ULONG chunk = static_cast<ULONG>(std::min<size_t>(size - done, 1u << 30));
            ULONG read = 0;
            if (FAILED(stream->Read(static_cast<BYTE*>(buffer) + done, chunk, &read)) || read == 0) break;
            done += read;
        }
        return done;
    }

    void Rewind()
    {
        if (start >= 0) SeekTo(start);
    }

private:
    bool SeekTo(long long position)
    {
        LARGE_INTEGER to{};
        to.QuadPart = position;
        return SUCCEEDED(stream->Seek(to, STREAM_SEEK_SET, nullptr));
    }

    IStream* stream;
    long long start;
};

// Decodes PNG, JPEG and GIF here and the rest through the engine's delegate loader, after the size check.
Status Decode(IStream* stream, DecodedPicture& picture)
{
    if (!stream) return InvalidParameter;
    StreamBytes bytes(stream);
    Status status = DecodePicture(bytes, picture);
    if (status != Ok || picture.image) return status;
    bytes.Rewind();
    IStream* outer = t_decoding;
    t_decoding = stream;
    status = DllExports::GdipLoadImageFromDelegate_linux(GetHeader, GetBytes, PutBytes, SeekStream, CloseStream,
                                                         StreamSize, &picture.image);
    t_decoding = outer;
    return status;
}

std::shared_ptr<void> StreamReference(IStream* stream)
{
    stream->AddRef();
    return std::shared_ptr<void>(stream, [](void* s) { static_cast<IStream*>(s)->Release(); });
}

DWORD ReadDword(const BYTE* p)
{
    DWORD value;
    std::memcpy(&value, p, sizeof(value));
    return value;
}

WORD ReadWord(const BYTE* p)
{
    WORD value;
    std::memcpy(&value, p, sizeof(value));
    return value;
}

// Where the pixels of a packed device-independent bitmap start: after its header, colour masks and
// colour table.
DWORD PixelOffset(const BYTE* dib, DWORD size)
{
    if (size < 4) return size;
    DWORD headerSize = ReadDword(dib);
    if (headerSize == 12 && size >= 12) {
        WORD bits = ReadWord(dib + 10);
        return 12 + (bits <= 8 ? (1u << bits) * 3 : 0);
    }
    if (headerSize < 40 || size < 40) return size;
    WORD bits = ReadWord(dib + 14);
    DWORD compression = ReadDword(dib + 16);
    DWORD colours = ReadDword(dib + 32);
    if (colours == 0 && bits <= 8) colours = 1u << bits;
    const DWORD kBitfields = 3;
    DWORD masks = (headerSize == 40 && compression == kBitfields) ? 12 : 0;
    return headerSize + masks + colours * 4;
}

// A memory stream holding the resource as a bitmap file: the file header the resource leaves out,
// then the resource's bytes. Null when the resource is missing or memory cannot be had.
IStream* BitmapFileStream(HINSTANCE module, const WCHAR* name)
{
    HRSRC info = FindResourceW(module, name, RT_BITMAP);
    DWORD size = info ? SizeofResource(module, info) : 0;
    const BYTE* dib = size ? static_cast<const BYTE*>(LockResource(::LoadResource(module, info))) : nullptr;
    if (!dib) return nullptr;

    const DWORD kFileHeader = 14;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, kFileHeader + size);
    BYTE* file = block ? static_cast<BYTE*>(GlobalLock(block)) : nullptr;
    if (!file) {
        if (block) GlobalFree(block);
        return nullptr;
    }
    DWORD fileSize = kFileHeader + size, offset = kFileHeader + PixelOffset(dib, size), reserved = 0;
    file[0] = 'B';
    file[1] = 'M';
    std::memcpy(file + 2, &fileSize, 4);
    std::memcpy(file + 6, &reserved, 4);
    std::memcpy(file + 10, &offset, 4);
    std::memcpy(file + kFileHeader, dib, size);
    GlobalUnlock(block);

    IStream* stream = nullptr;
    if (CreateStreamOnHGlobal(block, TRUE, &stream) != S_OK) {
        GlobalFree(block);
        return nullptr;
    }
    return stream;
}

}  // namespace

Image::Image(IStream* stream, BOOL)
{
    DecodedPicture picture;
    AdoptLoaded(Decode(stream, picture), picture);
    if (NativeImage()) TieToImage(StreamReference(stream));
}

Image* Image::FromStream(IStream* stream, BOOL useEmbeddedColorManagement)
{
    return new Image(stream, useEmbeddedColorManagement);
}

void Image::TieToImage(std::shared_ptr<void> companion)
{
    if (!nativeImage || !companion) return;
    // Members go in reverse order: the image is disposed before its companion is let go.
    struct Tied {
        std::shared_ptr<void> companion;
        std::shared_ptr<DllExports::GpImage> image;
    };
    auto tied = std::make_shared<Tied>(Tied{std::move(companion), nativeImage});
    nativeImage = std::shared_ptr<DllExports::GpImage>(tied, tied->image.get());
}

Bitmap::Bitmap(IStream* stream, BOOL useIcm) : Image(stream, useIcm) {}

Bitmap* Bitmap::FromStream(IStream* stream, BOOL useEmbeddedColorManagement)
{
    return new Bitmap(stream, useEmbeddedColorManagement);
}

Bitmap::Bitmap(HINSTANCE hInstance, const WCHAR* bitmapName) : Image(nullptr, Ok)
{
    IStream* stream = BitmapFileStream(hInstance, bitmapName);
    if (!stream) {
        loadStatus = SetStatus(InvalidParameter);
        return;
    }
    DecodedPicture picture;
    AdoptLoaded(Decode(stream, picture), picture);
    stream->Release();
}

Bitmap* Bitmap::FromResource(HINSTANCE hInstance, const WCHAR* bitmapName)
{
    return new Bitmap(hInstance, bitmapName);
}

}  // namespace Gdiplus
