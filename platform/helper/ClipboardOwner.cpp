// pictor-clipboard: holds a picture on the X11 CLIPBOARD selection for the library, so that it stays
// pasteable after the program that copied it has ended. Started by the library with the picture on
// standard input (see ClipboardHandover.h); it leaves its parent at once, takes the selection, answers,
// and serves image/png, image/bmp and TARGETS to every client until another owner takes the selection
// or the display goes away. Large pictures go in increments (INCR).
#include <png.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
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
    Bytes png;     // made on first request
    Bytes bmp;
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

void AppendPng(png_structp png, png_bytep data, png_size_t length)
{
    auto* target = static_cast<Bytes*>(png_get_io_ptr(png));
    target->insert(target->end(), data, data + length);
}

Bytes EncodePng(const Picture& picture)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return Bytes();
    }
    png_set_write_fn(png, &out, AppendPng, nullptr);
    // Speed over size: the picture only crosses the local display.
    png_set_compression_level(png, 1);
    png_set_IHDR(png, info, picture.width, picture.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (uint32_t y = 0; y < picture.height; ++y)
        png_write_row(png, picture.pixels.data() + static_cast<size_t>(y) * picture.width * 4);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

void Put(Bytes& out, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A 24-bit Windows bitmap file, rows from the bottom.
Bytes EncodeBmp(const Picture& picture)
{
    uint32_t rowSize = (picture.width * 3 + 3) & ~3u;
    uint32_t imageSize = rowSize * picture.height;
    Bytes out;
    out.reserve(54 + imageSize);
    out.push_back('B');
    out.push_back('M');
    Put(out, 54 + imageSize, 4);
    Put(out, 0, 4);
    Put(out, 54, 4);
    Put(out, 40, 4);
    Put(out, picture.width, 4);
    Put(out, picture.height, 4);
    Put(out, 1, 2);
    Put(out, 24, 2);
    Put(out, 0, 4);  // no compression
    Put(out, imageSize, 4);
    Put(out, 3780, 4);  // 96 dpi
    Put(out, 3780, 4);
    Put(out, 0, 4);
    Put(out, 0, 4);
    for (uint32_t row = picture.height; row-- > 0;) {
        const uint8_t* pixel = picture.pixels.data() + static_cast<size_t>(row) * picture.width * 4;
        for (uint32_t x = 0; x < picture.width; ++x, pixel += 4) out.insert(out.end(), pixel, pixel + 3);
        out.resize(out.size() + (rowSize - picture.width * 3), 0);
    }
    return out;
}

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
    const Bytes* data;
    size_t offset;
    Clock::time_point last;
};

class Owner {
public:
    Owner(xcb_connection_t* c, xcb_window_t window, Picture& picture)
        : m_c(c),
          m_window(window),
          m_picture(picture),
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
    const Bytes* Encoded(xcb_atom_t target)
    {
        if (target == m_atoms.png) {
            if (m_picture.png.empty()) m_picture.png = EncodePng(m_picture);
            return m_picture.png.empty() ? nullptr : &m_picture.png;
        }
        if (m_picture.bmp.empty()) m_picture.bmp = EncodeBmp(m_picture);
        return &m_picture.bmp;
    }

    void Answer(const xcb_selection_request_event_t& request)
    {
        // Clients of old conventions give no property: the target names it then.
        xcb_atom_t property = request.property == XCB_ATOM_NONE ? request.target : request.property;
        if (request.target == m_atoms.targets) {
            xcb_atom_t offered[] = {m_atoms.targets, m_atoms.png, m_atoms.bmp};
            xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, request.requestor, property, XCB_ATOM_ATOM, 32, 3, offered);
        } else if (request.target == m_atoms.png || request.target == m_atoms.bmp) {
            const Bytes* data = Encoded(request.target);
            if (!data) {
                property = XCB_ATOM_NONE;
            } else if (data->size() <= m_chunk) {
                xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, request.requestor, property, request.target, 8,
                                    static_cast<uint32_t>(data->size()), data->data());
            } else {
                uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
                xcb_change_window_attributes(m_c, request.requestor, XCB_CW_EVENT_MASK, &mask);
                uint32_t size = static_cast<uint32_t>(data->size());
                xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, request.requestor, property, m_atoms.incr, 32, 1, &size);
                m_transfers.push_back(Transfer{request.requestor, property, request.target, data, 0, Clock::now()});
            }
        } else {
            property = XCB_ATOM_NONE;
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

    // The requestor deleted the property: the next increment, and a last empty one.
    void Continue(const xcb_property_notify_event_t& event)
    {
        if (event.state != XCB_PROPERTY_DELETE) return;
        for (auto it = m_transfers.begin(); it != m_transfers.end(); ++it) {
            if (it->requestor != event.window || it->property != event.atom) continue;
            size_t size = std::min(m_chunk, it->data->size() - it->offset);
            xcb_change_property(m_c, XCB_PROP_MODE_REPLACE, it->requestor, it->property, it->type, 8,
                                static_cast<uint32_t>(size), it->data->data() + it->offset);
            it->offset += size;
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
    Picture& m_picture;
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
