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

bool SendPicture(int fd, const uint8_t* pixels, int stride, int width, int height)
{
    ClipboardHandover header{};
    std::memcpy(header.magic, kHandoverMagic, sizeof(header.magic));
    header.width = static_cast<uint32_t>(width);
    header.height = static_cast<uint32_t>(height);
    if (!SendAll(fd, &header, sizeof(header))) return false;
    for (int y = 0; y < height; ++y)
        if (!SendAll(fd, pixels + static_cast<size_t>(y) * stride, static_cast<size_t>(width) * 4)) return false;
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

// Reads and deletes the property; false when the display went away.
bool ReadProperty(const Connection& x, xcb_window_t window, xcb_atom_t property, xcb_atom_t& type,
                  std::vector<uint8_t>& bytes)
{
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(x.c, xcb_get_property(x.c, 1, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, UINT32_MAX / 4),
                               nullptr),
        &std::free);
    if (!reply) return false;
    type = reply->type;
    auto* value = static_cast<const uint8_t*>(xcb_get_property_value(reply.get()));
    int length = xcb_get_property_value_length(reply.get());
    bytes.insert(bytes.end(), value, value + length);
    return true;
}

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

    bool HasOwner() const
    {
        std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> reply(
            xcb_get_selection_owner_reply(m_x.c, xcb_get_selection_owner(m_x.c, m_clipboard), nullptr), &std::free);
        return reply && reply->owner != XCB_WINDOW_NONE;
    }

    // Asks the owner for the target and collects the answer, in increments when it sends them so.
    ClipboardStatus Convert(xcb_atom_t target, std::vector<uint8_t>& bytes)
    {
        xcb_convert_selection(m_x.c, m_window, m_clipboard, target, m_property, XCB_CURRENT_TIME);
        xcb_flush(m_x.c);
        ClipboardStatus status = ClipboardStatus::Ok;
        Event event = WaitForEvent(m_x, XCB_SELECTION_NOTIFY, m_window, status);
        if (!event) return status;
        if (reinterpret_cast<xcb_selection_notify_event_t*>(event.get())->property == XCB_ATOM_NONE)
            return ClipboardStatus::NoPicture;
        xcb_atom_t type = XCB_ATOM_NONE;
        if (!ReadProperty(m_x, m_window, m_property, type, bytes)) return ClipboardStatus::DisplayLost;
        xcb_flush(m_x.c);
        if (type != m_incr) return ClipboardStatus::Ok;
        // Deleting the INCR property (done by the read) asks for the first increment.
        bytes.clear();
        for (;;) {
            Event notify = WaitForEvent(m_x, XCB_PROPERTY_NOTIFY, m_window, status);
            if (!notify) return status;
            auto* change = reinterpret_cast<xcb_property_notify_event_t*>(notify.get());
            if (change->atom != m_property || change->state != XCB_PROPERTY_NEW_VALUE) continue;
            size_t before = bytes.size();
            if (!ReadProperty(m_x, m_window, m_property, type, bytes)) return ClipboardStatus::DisplayLost;
            xcb_flush(m_x.c);
            if (bytes.size() == before) return ClipboardStatus::Ok;
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

}  // namespace

bool DesktopClipboardReachable() { return Connection().Usable(); }

ClipboardStatus DesktopClipboardOffer(const uint8_t* pixels, int stride, int width, int height)
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

    bool sent = SendPicture(ours.Get(), pixels, stride, width, height);
    shutdown(ours.Get(), SHUT_WR);
    char answer = sent ? AwaitReply(ours.Get()) : kHandoverFailed;
    Reap(pid);
    return answer == kHandoverTaken ? ClipboardStatus::Ok : ClipboardStatus::NoHelper;
}

ClipboardStatus DesktopClipboardTake(std::vector<uint8_t>& bytes, bool targetsOnly)
{
    bytes.clear();
    Connection x;
    if (!x.Usable()) return ClipboardStatus::NoDisplay;
    Requestor requestor(x);
    if (!requestor.HasOwner()) return ClipboardStatus::NoPicture;
    std::vector<uint8_t> targets;
    ClipboardStatus status = requestor.Convert(x.Atom("TARGETS"), targets);
    if (status != ClipboardStatus::Ok) return status;
    xcb_atom_t png = x.Atom("image/png");
    xcb_atom_t bmp = x.Atom("image/bmp");
    xcb_atom_t wanted = Offers(targets, png) ? png : Offers(targets, bmp) ? bmp : xcb_atom_t{XCB_ATOM_NONE};
    if (wanted == XCB_ATOM_NONE) return ClipboardStatus::NoPicture;
    if (targetsOnly) return ClipboardStatus::Ok;
    status = requestor.Convert(wanted, bytes);
    if (status == ClipboardStatus::Ok && bytes.empty()) return ClipboardStatus::BadPicture;
    return status;
}

ClipboardStatus DesktopClipboardClear()
{
    Connection x;
    if (!x.Usable()) return ClipboardStatus::NoDisplay;
    xcb_set_selection_owner(x.c, XCB_WINDOW_NONE, x.Atom("CLIPBOARD"), XCB_CURRENT_TIME);
    std::free(xcb_get_input_focus_reply(x.c, xcb_get_input_focus(x.c), nullptr));
    return xcb_connection_has_error(x.c) ? ClipboardStatus::DisplayLost : ClipboardStatus::Ok;
}
