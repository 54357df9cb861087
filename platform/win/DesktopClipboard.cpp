#include "DesktopClipboard.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ClipboardHandover.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// How long a step of an exchange (an answer, an increment, the helper's reply) may take.
constexpr int kStepTimeoutMs = 5000;
constexpr const char* kHelperName = "pictor-clipboard";
// The rows handed to the helper go in bands of about this size.
constexpr size_t kBandBytes = 1024 * 1024;

// ----- Handing a picture to the helper -----

// The folder of a file's path ("." for a bare name).
std::string FolderOf(const std::string& path)
{
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// The folders the library was loaded from: as the loader named it and, when that is a link to a library
// elsewhere, where the library really is.
std::vector<std::string> LibraryFolders()
{
    std::vector<std::string> folders;
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&DesktopClipboardOffer), &info) || !info.dli_fname) return folders;
    folders.push_back(FolderOf(info.dli_fname));
    std::unique_ptr<char, decltype(&std::free)> real(realpath(info.dli_fname, nullptr), &std::free);
    if (real && FolderOf(real.get()) != folders.front()) folders.push_back(FolderOf(real.get()));
    return folders;
}

// Beside the library (the build tree), else where the install put it relative to the library (so a
// prefix installed elsewhere or moved still finds it), else in the folder configured at build time.
std::string HelperPath()
{
    std::vector<std::string> candidates;
    for (const std::string& folder : LibraryFolders()) {
        candidates.push_back(folder + "/" + kHelperName);
        candidates.push_back(folder + "/" + PICTOR_HELPER_FROM_LIBDIR + "/" + kHelperName);
    }
    candidates.push_back(std::string(PICTOR_HELPER_DIR) + "/" + kHelperName);
    for (const std::string& candidate : candidates)
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
    return std::string();
}

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0) close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

bool SendAll(int fd, const void* data, size_t size)
{
    auto* bytes = static_cast<const uint8_t*>(data);
    while (size > 0) {
        pollfd wait = {fd, POLLOUT, 0};
        if (poll(&wait, 1, kStepTimeoutMs) <= 0) return false;
        // No SIGPIPE when the helper has gone: the send just fails.
        ssize_t sent = send(fd, bytes, size, MSG_NOSIGNAL);
        if (sent <= 0) return false;
        bytes += sent;
        size -= static_cast<size_t>(sent);
    }
    return true;
}

// The helper's first process leaves as soon as it has the picture; it is reaped here, within bounds.
void Reap(pid_t pid)
{
    auto end = Clock::now() + std::chrono::milliseconds(kStepTimeoutMs);
    while (waitpid(pid, nullptr, WNOHANG) == 0) {
        if (Clock::now() > end) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// The rows go out a band at a time, so that no more than a band is held besides the caller's pixels.
bool SendPicture(int fd, int width, int height, const DesktopRows& rows)
{
    ClipboardHandover header{};
    std::memcpy(header.magic, kHandoverMagic, sizeof(header.magic));
    header.width = static_cast<uint32_t>(width);
    header.height = static_cast<uint32_t>(height);
    if (!SendAll(fd, &header, sizeof(header))) return false;
    const size_t rowBytes = static_cast<size_t>(width) * 4;
    const int bandRows = static_cast<int>(std::max<size_t>(1, kBandBytes / rowBytes));
    std::vector<uint8_t> band(rowBytes * static_cast<size_t>(std::min(bandRows, height)));
    for (int first = 0; first < height; first += bandRows) {
        int count = std::min(bandRows, height - first);
        if (!rows(first, count, band.data()) || !SendAll(fd, band.data(), rowBytes * static_cast<size_t>(count)))
            return false;
    }
    return true;
}

char AwaitReply(int fd)
{
    char answer = kHandoverFailed;
    pollfd wait = {fd, POLLIN, 0};
    if (poll(&wait, 1, kStepTimeoutMs) <= 0 || read(fd, &answer, 1) != 1) return kHandoverFailed;
    return answer;
}

// ----- Talking to the display -----

// A busy X server now and then closes a new connection at once; a few tries, a moment apart, get one.
xcb_connection_t* ConnectToDisplay(int* screen)
{
    const char* display = std::getenv("DISPLAY");
    int tries = display && *display ? 5 : 1;
    for (int attempt = 1;; ++attempt) {
        xcb_connection_t* c = xcb_connect(nullptr, screen);
        if (!xcb_connection_has_error(c) || attempt == tries) return c;
        xcb_disconnect(c);
        std::this_thread::sleep_for(std::chrono::milliseconds(20 * attempt));
    }
}

struct Connection {
    xcb_connection_t* c = nullptr;
    xcb_screen_t* screen = nullptr;

    Connection()
    {
        int number = 0;
        c = ConnectToDisplay(&number);
        if (xcb_connection_has_error(c)) return;
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
        for (; it.rem && number > 0; --number) xcb_screen_next(&it);
        screen = it.rem ? it.data : nullptr;
    }
    ~Connection() { xcb_disconnect(c); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool Usable() const { return screen && !xcb_connection_has_error(c); }

    xcb_atom_t Atom(const char* name) const
    {
        std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr),
            &std::free);
        return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }
};

using Event = std::unique_ptr<xcb_generic_event_t, decltype(&std::free)>;

// The next event of the given type on the window, or null (status says why) when none came in time.
Event WaitForEvent(const Connection& x, uint8_t type, xcb_window_t window, ClipboardStatus& status)
{
    auto end = Clock::now() + std::chrono::milliseconds(kStepTimeoutMs);
    int fd = xcb_get_file_descriptor(x.c);
    for (;;) {
        Event event(xcb_poll_for_event(x.c), &std::free);
        if (event) {
            uint8_t got = event->response_type & 0x7F;
            if (got == type && type == XCB_SELECTION_NOTIFY &&
                reinterpret_cast<xcb_selection_notify_event_t*>(event.get())->requestor == window)
                return event;
            if (got == type && type == XCB_PROPERTY_NOTIFY &&
                reinterpret_cast<xcb_property_notify_event_t*>(event.get())->window == window)
                return event;
            continue;
        }
        if (xcb_connection_has_error(x.c)) {
            status = ClipboardStatus::DisplayLost;
            return Event(nullptr, &std::free);
        }
        int left = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count());
        if (left <= 0) {
            status = ClipboardStatus::NoAnswer;
            return Event(nullptr, &std::free);
        }
        pollfd wait = {fd, POLLIN, 0};
        poll(&wait, 1, left);
    }
}

// A property's value as read (and deleted) from the server.
struct Property {
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply{nullptr, &std::free};
    xcb_atom_t type = XCB_ATOM_NONE;
    const uint8_t* bytes = nullptr;
    size_t size = 0;
};

// Reads and deletes the property; false when the display went away. The deletion asks an owner sending
// increments for the next one, which it can then make while this one is used.
bool ReadProperty(const Connection& x, xcb_window_t window, xcb_atom_t property, Property& value)
{
    value.reply.reset(xcb_get_property_reply(
        x.c, xcb_get_property(x.c, 1, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, UINT32_MAX / 4), nullptr));
    xcb_flush(x.c);
    if (!value.reply) return false;
    value.type = value.reply->type;
    value.bytes = static_cast<const uint8_t*>(xcb_get_property_value(value.reply.get()));
    value.size = static_cast<size_t>(xcb_get_property_value_length(value.reply.get()));
    return true;
}

// Takes the bytes of an answer as they come; false stops the transfer.
using Consumer = std::function<bool(const uint8_t* bytes, size_t size)>;

class Requestor {
public:
    explicit Requestor(const Connection& x) : m_x(x), m_window(xcb_generate_id(x.c))
    {
        uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_create_window(x.c, 0, m_window, x.screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          x.screen->root_visual, XCB_CW_EVENT_MASK, &mask);
        m_clipboard = x.Atom("CLIPBOARD");
        m_property = x.Atom("PICTOR_CLIPBOARD");
        m_incr = x.Atom("INCR");
    }
    ~Requestor() { xcb_destroy_window(m_x.c, m_window); }
    Requestor(const Requestor&) = delete;
    Requestor& operator=(const Requestor&) = delete;

    // The window owning the selection, or none.
    xcb_window_t Owner() const
    {
        std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> reply(
            xcb_get_selection_owner_reply(m_x.c, xcb_get_selection_owner(m_x.c, m_clipboard), nullptr), &std::free);
        return reply ? reply->owner : xcb_window_t{XCB_WINDOW_NONE};
    }

    // Asks the owner for the target and hands the answer on, in increments when it sends them so.
    ClipboardStatus Convert(xcb_atom_t target, const Consumer& take)
    {
        xcb_convert_selection(m_x.c, m_window, m_clipboard, target, m_property, XCB_CURRENT_TIME);
        xcb_flush(m_x.c);
        ClipboardStatus status = ClipboardStatus::Ok;
        Event event = WaitForEvent(m_x, XCB_SELECTION_NOTIFY, m_window, status);
        if (!event) return status;
        if (reinterpret_cast<xcb_selection_notify_event_t*>(event.get())->property == XCB_ATOM_NONE)
            return ClipboardStatus::NoPicture;
        Property value;
        if (!ReadProperty(m_x, m_window, m_property, value)) return ClipboardStatus::DisplayLost;
        if (value.type != m_incr) return take(value.bytes, value.size) ? status : ClipboardStatus::BadPicture;
        // Deleting the INCR property (done by the read) asks for the first increment; an empty one ends.
        for (;;) {
            Event notify = WaitForEvent(m_x, XCB_PROPERTY_NOTIFY, m_window, status);
            if (!notify) return status;
            auto* change = reinterpret_cast<xcb_property_notify_event_t*>(notify.get());
            if (change->atom != m_property || change->state != XCB_PROPERTY_NEW_VALUE) continue;
            if (!ReadProperty(m_x, m_window, m_property, value)) return ClipboardStatus::DisplayLost;
            if (value.size == 0) return ClipboardStatus::Ok;
            if (!take(value.bytes, value.size)) return ClipboardStatus::BadPicture;
        }
    }

private:
    const Connection& m_x;
    xcb_window_t m_window;
    xcb_atom_t m_clipboard = XCB_ATOM_NONE;
    xcb_atom_t m_property = XCB_ATOM_NONE;
    xcb_atom_t m_incr = XCB_ATOM_NONE;
};

bool Offers(const std::vector<uint8_t>& targets, xcb_atom_t wanted)
{
    for (size_t i = 0; i + 4 <= targets.size(); i += 4) {
        xcb_atom_t atom;
        std::memcpy(&atom, targets.data() + i, 4);
        if (atom == wanted) return true;
    }
    return false;
}

// True when the window is pictor's own helper (by its class).
bool IsHelper(const Connection& x, xcb_window_t window)
{
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(
            x.c, xcb_get_property(x.c, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, sizeof(kHelperClass)),
            nullptr),
        &std::free);
    return reply && xcb_get_property_value_length(reply.get()) == static_cast<int>(sizeof(kHelperClass)) &&
           std::memcmp(xcb_get_property_value(reply.get()), kHelperClass, sizeof(kHelperClass)) == 0;
}

// The target to ask the owner for (see DesktopClipboardTake), or a status saying why there is none.
ClipboardStatus ChooseTarget(const Connection& x, Requestor& requestor, xcb_atom_t& target, DesktopPictureType& type)
{
    xcb_window_t owner = requestor.Owner();
    if (owner == XCB_WINDOW_NONE) return ClipboardStatus::NoPicture;
    std::vector<uint8_t> targets;
    ClipboardStatus status = requestor.Convert(x.Atom("TARGETS"), [&targets](const uint8_t* bytes, size_t size) {
        targets.insert(targets.end(), bytes, bytes + size);
        return true;
    });
    if (status != ClipboardStatus::Ok) return status;
    xcb_atom_t png = x.Atom("image/png");
    xcb_atom_t bmp = x.Atom("image/bmp");
    bool offersPng = Offers(targets, png), offersBmp = Offers(targets, bmp);
    if (!offersPng && !offersBmp) return ClipboardStatus::NoPicture;
    bool takeBmp = offersBmp && (!offersPng || IsHelper(x, owner));
    target = takeBmp ? bmp : png;
    type = takeBmp ? DesktopPictureType::Bmp : DesktopPictureType::Png;
    return ClipboardStatus::Ok;
}

}  // namespace

bool DesktopClipboardReachable() { return Connection().Usable(); }

ClipboardStatus DesktopClipboardOffer(int width, int height, const DesktopRows& rows)
{
    if (width <= 0 || height <= 0 || static_cast<uint64_t>(width) * height > kHandoverMaxPixels)
        return ClipboardStatus::BadPicture;
    std::string helper = HelperPath();
    if (helper.empty()) return ClipboardStatus::NoHelper;
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return ClipboardStatus::NoHelper;
    Descriptor ours(ends[0]);
    Descriptor theirs(ends[1]);

    // The helper is started as a new program (no fork of this process), with the socket as its input and
    // nothing of ours as its output.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, theirs.Get(), STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(kHelperName), nullptr};
    pid_t pid = -1;
    int spawned = posix_spawn(&pid, helper.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return ClipboardStatus::NoHelper;

    bool sent = SendPicture(ours.Get(), width, height, rows);
    shutdown(ours.Get(), SHUT_WR);
    char answer = sent ? AwaitReply(ours.Get()) : kHandoverFailed;
    Reap(pid);
    return answer == kHandoverTaken ? ClipboardStatus::Ok : ClipboardStatus::NoHelper;
}

ClipboardStatus DesktopClipboardOffersPicture()
{
    Connection x;
    if (!x.Usable()) return ClipboardStatus::NoDisplay;
    Requestor requestor(x);
    xcb_atom_t target = XCB_ATOM_NONE;
    DesktopPictureType type = DesktopPictureType::Png;
    return ChooseTarget(x, requestor, target, type);
}

ClipboardStatus DesktopClipboardTake(DesktopPictureSink& sink)
{
    Connection x;
    if (!x.Usable()) return ClipboardStatus::NoDisplay;
    Requestor requestor(x);
    xcb_atom_t target = XCB_ATOM_NONE;
    DesktopPictureType type = DesktopPictureType::Png;
    ClipboardStatus status = ChooseTarget(x, requestor, target, type);
    if (status != ClipboardStatus::Ok) return status;
    if (!sink.Begin(type)) return ClipboardStatus::BadPicture;
    return requestor.Convert(target, [&sink](const uint8_t* bytes, size_t size) { return sink.Take(bytes, size); });
}

ClipboardStatus DesktopClipboardClear()
{
    Connection x;
    if (!x.Usable()) return ClipboardStatus::NoDisplay;
    xcb_set_selection_owner(x.c, XCB_WINDOW_NONE, x.Atom("CLIPBOARD"), XCB_CURRENT_TIME);
    std::free(xcb_get_input_focus_reply(x.c, xcb_get_input_focus(x.c), nullptr));
    return xcb_connection_has_error(x.c) ? ClipboardStatus::DisplayLost : ClipboardStatus::Ok;
}
