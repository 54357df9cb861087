// pictor-clipboard: holds a picture on the X11 CLIPBOARD selection for the library, so that it stays
// pasteable after the program that copied it has ended. Started by the library with the picture on
// standard input (see ClipboardHandover.h); it leaves its parent at once, takes the selection, answers,
// and serves image/png, image/bmp and TARGETS to every client until another owner takes the selection
// or the display goes away. Large pictures go in increments (INCR), each encoded only as the client asks
// for it, so that the helper holds the pixels and, per client, about one increment.
#include <png.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <list>
#include <memory>
#include <vector>

#include "../win/ClipboardHandover.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

// Answers go in increments of at most this size (less when the server takes smaller requests).
constexpr size_t kLargestChunk = 1024 * 1024;
// A requestor that stops taking increments for this long is dropped.
constexpr auto kTransferTimeout = std::chrono::seconds(10);
// The library sends the whole picture at once; a pause this long means it has given up.
constexpr int kReadTimeoutMs = 10000;

struct Picture {
    uint32_t width = 0;
    uint32_t height = 0;
    Bytes pixels;  // blue, green, red, unused

    const uint8_t* Row(uint32_t y) const { return pixels.data() + static_cast<size_t>(y) * width * 4; }
};

bool ReadAll(int fd, void* target, size_t size)
{
    auto* bytes = static_cast<uint8_t*>(target);
    while (size > 0) {
        pollfd wait = {fd, POLLIN, 0};
        if (poll(&wait, 1, kReadTimeoutMs) <= 0) return false;
        ssize_t got = read(fd, bytes, size);
        if (got <= 0) return false;
        bytes += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

bool ReadPicture(int fd, Picture& picture)
{
    ClipboardHandover header{};
    if (!ReadAll(fd, &header, sizeof(header)) || std::memcmp(header.magic, kHandoverMagic, sizeof(kHandoverMagic)) != 0)
        return false;
    uint64_t count = static_cast<uint64_t>(header.width) * header.height;
    if (count == 0 || count > kHandoverMaxPixels) return false;
    picture.width = header.width;
    picture.height = header.height;
    picture.pixels.resize(count * 4);
    return ReadAll(fd, picture.pixels.data(), picture.pixels.size());
}

// A picture file written a little at a time, as a client takes it.
class Encoder {
public:
    virtual ~Encoder() = default;
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;

    // Encodes until at least `wanted` bytes wait or the file is complete; false when encoding failed.
    bool Fill(size_t wanted)
    {
        if (m_start > 0) {
            m_out.erase(m_out.begin(), m_out.begin() + static_cast<std::ptrdiff_t>(m_start));
            m_start = 0;
        }
        while (!m_failed && !m_complete && m_out.size() < wanted) m_complete = Step();
        return !m_failed;
    }
    // The bytes waiting, and taking some of them.
    size_t Waiting() const { return m_out.size() - m_start; }
    const uint8_t* Data() const { return m_out.data() + m_start; }
    void Take(size_t count) { m_start += std::min(count, Waiting()); }
    bool Complete() const { return m_complete; }
    // The file's size when known in advance, else 0.
    virtual size_t KnownSize() const { return 0; }

protected:
    explicit Encoder(const Picture& picture) : m_picture(picture) { m_out.reserve(2 * kLargestChunk); }
    // Appends the next piece of the file to m_out; true once the file is complete.
    virtual bool Step() = 0;

    const Picture& m_picture;
    Bytes m_out;
    bool m_failed = false;

private:
    size_t m_start = 0;
    bool m_complete = false;
};

// A 24-bit Windows bitmap file, rows from the bottom.
class BmpEncoder final : public Encoder {
public:
    explicit BmpEncoder(const Picture& picture) : Encoder(picture), m_rowSize((picture.width * 3 + 3) & ~3u) {}
    size_t KnownSize() const override { return 54 + static_cast<size_t>(m_rowSize) * m_picture.height; }

private:
    bool Step() override
    {
        if (!m_headerWritten) {
            WriteHeader();
            m_headerWritten = true;
            return false;
        }
        const uint8_t* pixel = m_picture.Row(m_picture.height - 1 - m_rowsWritten);
        size_t at = m_out.size();
        m_out.resize(at + m_rowSize, 0);
        for (uint32_t x = 0; x < m_picture.width; ++x, pixel += 4, at += 3) std::memcpy(&m_out[at], pixel, 3);
        return ++m_rowsWritten == m_picture.height;
    }

    void Put(uint32_t value, int size)
    {
        for (int i = 0; i < size; ++i) m_out.push_back(static_cast<uint8_t>(value >> (8 * i)));
    }

    void WriteHeader()
    {
        uint32_t imageSize = m_rowSize * m_picture.height;
        m_out.push_back('B');
        m_out.push_back('M');
        Put(54 + imageSize, 4);
        Put(0, 4);
        Put(54, 4);
        Put(40, 4);
        Put(m_picture.width, 4);
        Put(m_picture.height, 4);
        Put(1, 2);
        Put(24, 2);
        Put(0, 4);  // no compression
        Put(imageSize, 4);
        Put(3780, 4);  // 96 dpi
        Put(3780, 4);
        Put(0, 4);
        Put(0, 4);
    }

    uint32_t m_rowSize;
    bool m_headerWritten = false;
    uint32_t m_rowsWritten = 0;
};

// An RGB PNG file, a row at a time.
class PngEncoder final : public Encoder {
public:
    explicit PngEncoder(const Picture& picture) : Encoder(picture)
    {
        m_png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        m_info = m_png ? png_create_info_struct(m_png) : nullptr;
        m_failed = !m_info || !Start();
    }
    ~PngEncoder() override { png_destroy_write_struct(&m_png, m_info ? &m_info : nullptr); }

private:
    static void Append(png_structp png, png_bytep data, png_size_t length)
    {
        Bytes& out = static_cast<PngEncoder*>(png_get_io_ptr(png))->m_out;
        out.insert(out.end(), data, data + length);
    }

    // Each libpng call runs in a frame of its own holding nothing to destroy, for the error's jump back.
    bool Start()
    {
        if (setjmp(png_jmpbuf(m_png))) return false;
        png_set_write_fn(m_png, this, Append, nullptr);
        // Speed over size: the picture only crosses the local display. The "up" filter alone keeps what
        // trying every filter on every row gains on drawn pictures and photographs, in half the time.
        png_set_compression_level(m_png, 1);
        png_set_filter(m_png, PNG_FILTER_TYPE_BASE, PNG_FILTER_UP);
        png_set_IHDR(m_png, m_info, m_picture.width, m_picture.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(m_png, m_info);
        png_set_bgr(m_png);
        png_set_filler(m_png, 0, PNG_FILLER_AFTER);
        return true;
    }

    bool Step() override
    {
        if (setjmp(png_jmpbuf(m_png))) {
            m_failed = true;
            return false;
        }
        if (m_nextRow < m_picture.height) {
            png_write_row(m_png, m_picture.Row(m_nextRow++));
            return false;
        }
        png_write_end(m_png, nullptr);
        return true;
    }

    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
    uint32_t m_nextRow = 0;
};

struct Atoms {
    xcb_atom_t clipboard, targets, png, bmp, incr, atom;
};

xcb_atom_t Intern(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

// One answer going out in increments.
struct Transfer {
    xcb_window_t requestor;
    xcb_atom_t property;
    xcb_atom_t type;
    std::unique_ptr<Encoder> encoder;
    Clock::time_point last;
};

class Owner {
public:
    Owner(xcb_connection_t* c, xcb_window_t window, const Picture& picture)
        : m_c(c), m_window(window), m_picture(picture),
          m_chunk(std::min(kLargestChunk, static_cast<size_t>(xcb_get_maximum_request_length(c)) * 4 - 1024))
    {
        m_atoms = {Intern(c, "CLIPBOARD"), Intern(c, "TARGETS"), Intern(c, "image/png"),
                   Intern(c, "image/bmp"), Intern(c, "INCR"),    XCB_ATOM_ATOM};
    }

    bool TakeSelection()
    {
        xcb_set_selection_owner(m_c, m_window, m_atoms.clipboard, XCB_CURRENT_TIME);
        xcb_get_selection_owner_reply_t* reply =
            xcb_get_selection_owner_reply(m_c, xcb_get_selection_owner(m_c, m_atoms.clipboard), nullptr);
        bool taken = reply && reply->owner == m_window;
        std::free(reply);
        return taken;
    }

    // Serves until the selection is lost or the display goes away.
    void Serve()
    {
        int fd = xcb_get_file_descriptor(m_c);
        for (;;) {
            std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(xcb_poll_for_event(m_c), &std::free);
            if (!event) {
                if (xcb_connection_has_error(m_c)) return;
                DropStaleTransfers();
                pollfd wait = {fd, POLLIN, 0};
                poll(&wait, 1, 1000);
                continue;
            }
            switch (event->response_type & 0x7F) {
            case XCB_SELECTION_CLEAR:
                return;
            case XCB_SELECTION_REQUEST:
                Answer(*reinterpret_cast<xcb_selection_request_event_t*>(event.get()));
                break;
            case XCB_PROPERTY_NOTIFY:
                Continue(*reinterpret_cast<xcb_property_notify_event_t*>(event.get()));
                break;
            default:
                break;  // errors about requestors that went away, among others
            }
        }
    }

private:
    std::unique_ptr<Encoder> EncoderFor(xcb_atom_t target) const
    {
        if (target == m_atoms.png) return std::make_unique<PngEncoder>(m_picture);
        return std::make_unique<BmpEncoder>(m_picture);
    }

    // Starts the file: whole in the property when it fits in one increment, else announced as INCR
    // (with a lower bound on its size) and kept for the increments. False when it cannot be made.
    bool StartFile(const xcb_selection_request_event_t& request, xcb_atom_t property)
    {
        std::unique_ptr<Encoder> encoder = EncoderFor(request.target);
        if (!encoder->Fill(m_chunk + 1)) return false;
        if (encoder->Complete() && encoder->Waiting() <= m_chunk) {
            xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, request.requestor, property, request.target, 8,
                                static_cast<uint32_t>(encoder->Waiting()), encoder->Data());
            return true;
        }
        uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(m_c, request.requestor, XCB_CW_EVENT_MASK, &mask);
        size_t known = encoder->KnownSize() ? encoder->KnownSize() : encoder->Waiting();
        uint32_t size = static_cast<uint32_t>(std::min<size_t>(known, UINT32_MAX));
        xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, request.requestor, property, m_atoms.incr, 32, 1, &size);
        m_transfers.push_back(Transfer{request.requestor, property, request.target, std::move(encoder), Clock::now()});
        return true;
    }

    void Answer(const xcb_selection_request_event_t& request)
    {
        // Clients of old conventions give no property: the target names it then.
        xcb_atom_t property = request.property == XCB_ATOM_NONE ? request.target : request.property;
        if (request.target == m_atoms.targets) {
            xcb_atom_t offered[] = {m_atoms.targets, m_atoms.png, m_atoms.bmp};
            xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, request.requestor, property, XCB_ATOM_ATOM, 32, 3, offered);
        } else {
            bool picture = request.target == m_atoms.png || request.target == m_atoms.bmp;
            if (!picture || !StartFile(request, property)) property = XCB_ATOM_NONE;
        }
        xcb_selection_notify_event_t notify{};
        notify.response_type = XCB_SELECTION_NOTIFY;
        notify.time = request.time;
        notify.requestor = request.requestor;
        notify.selection = request.selection;
        notify.target = request.target;
        notify.property = property;
        xcb_send_event(m_c, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&notify));
        xcb_flush(m_c);
    }

    // The requestor deleted the property: the next increment, and a last empty one (also when the
    // encoding failed, which cuts the file short).
    void Continue(const xcb_property_notify_event_t& event)
    {
        if (event.state != XCB_PROPERTY_DELETE) return;
        for (auto it = m_transfers.begin(); it != m_transfers.end(); ++it) {
            if (it->requestor != event.window || it->property != event.atom) continue;
            Encoder& encoder = *it->encoder;
            size_t size = encoder.Fill(m_chunk) ? std::min(m_chunk, encoder.Waiting()) : 0;
            xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, it->requestor, it->property, it->type, 8,
                                static_cast<uint32_t>(size), encoder.Data());
            encoder.Take(size);
            it->last = Clock::now();
            if (size == 0) {
                uint32_t none = XCB_EVENT_MASK_NO_EVENT;
                xcb_change_window_attributes(m_c, it->requestor, XCB_CW_EVENT_MASK, &none);
                m_transfers.erase(it);
            }
            xcb_flush(m_c);
            return;
        }
    }

    void DropStaleTransfers()
    {
        m_transfers.remove_if([](const Transfer& transfer) { return Clock::now() - transfer.last > kTransferTimeout; });
    }

    xcb_connection_t* m_c;
    xcb_window_t m_window;
    const Picture& m_picture;
    size_t m_chunk;
    Atoms m_atoms;
    std::list<Transfer> m_transfers;
};

void Reply(char answer) { send(STDIN_FILENO, &answer, 1, MSG_NOSIGNAL); }

}  // namespace

int main()
{
    // Descriptors the starting program left open are not ours to keep.
    close_range(3, ~0u, 0);
    Picture picture;
    if (!ReadPicture(STDIN_FILENO, picture)) {
        Reply(kHandoverFailed);
        return 1;
    }
    // Leave the program that started us, which only waits for this first process.
    pid_t child = fork();
    if (child < 0) {
        Reply(kHandoverFailed);
        return 1;
    }
    if (child > 0) _exit(0);
    setsid();

    // A busy X server now and then closes a new connection at once; a few tries get one.
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    for (int attempt = 1; xcb_connection_has_error(c) && attempt < 5; ++attempt) {
        xcb_disconnect(c);
        usleep(20000 * attempt);
        c = xcb_connect(nullptr, nullptr);
    }
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        Reply(kHandoverFailed);
        return 1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, 0, window, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, 0,
                      nullptr);
    // The library knows its own helper by this class and takes the uncompressed bitmap from it.
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, sizeof(kHelperClass),
                        kHelperClass);
    Owner owner(c, window, picture);
    if (!owner.TakeSelection()) {
        xcb_disconnect(c);
        Reply(kHandoverFailed);
        return 1;
    }
    Reply(kHandoverTaken);
    close(STDIN_FILENO);
    owner.Serve();
    xcb_disconnect(c);
    return 0;
}
