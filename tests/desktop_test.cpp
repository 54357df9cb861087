// The desktop services with the real programs: a CUPS scheduler started here on a private port and
// folder, and the X clipboard under a private X server, exchanging pictures with xclip.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>
#include <chrono>
#include <functional>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "TestSupport.h"
#include "XServer.h"
#include "win/Clipboard.h"
#include "win/ClipboardPicture.h"
#include "win/PrinterDC.h"
#include "win/Window.h"

using namespace pictor_test;
namespace fs = std::filesystem;

namespace {

XServer* const kXServer = static_cast<XServer*>(testing::AddGlobalTestEnvironment(new XServer));

bool WaitFor(const std::function<bool()>& ready, int timeoutMs)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!ready()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

// For port 0, a loopback port free now; else 1 when something accepts connections there, 0 if not.
int Loopback(int port)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{AF_INET, htons(static_cast<uint16_t>(port)), {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t size = sizeof(address);
    int result = port ? connect(fd, reinterpret_cast<sockaddr*>(&address), size) == 0
                      : (bind(fd, reinterpret_cast<sockaddr*>(&address), size),
                         getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size), ntohs(address.sin_port));
    close(fd);
    return result;
}

void WriteText(const fs::path& path, const std::string& text, fs::perms perms = fs::perms(0644))
{
    std::ofstream(path) << text;
    fs::permissions(path, perms);
}

// What a command prints on its standard output.
std::string Output(const std::string& command)
{
    std::string text;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return text;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof(buffer), pipe)) > 0) text.append(buffer, got);
    pclose(pipe);
    return text;
}

// A CUPS scheduler of its own: private configuration, spool and port, one queue "out" (the default)
// whose device copies each job to Output().
class Scheduler {
public:
    Scheduler() : m_folder(fs::temp_directory_path() / ("pictor-cups-" + std::to_string(getpid()))), m_port(Loopback(0))
    {
        for (const char* sub : {"conf", "spool", "cache", "state", "log", "bin/backend", "out"})
            fs::create_directories(m_folder / sub);
        fs::permissions(m_folder / "out", fs::perms::all);
        fs::create_directory_symlink("/usr/lib/cups/daemon", m_folder / "bin/daemon");
        WriteText(m_folder / "conf/cupsd.conf", "Listen 127.0.0.1:" + std::to_string(m_port) +
                                                    "\nLogLevel warn\n<Location />\nOrder allow,deny\nAllow all\n"
                                                    "</Location>\n<Policy default>\n<Limit All>\nOrder deny,allow\n"
                                                    "</Limit>\n</Policy>\n");
        std::string f = m_folder.string();
        WriteText(m_folder / "conf/cups-files.conf",
                  "ServerRoot " + f + "/conf\nServerBin " + f + "/bin\nRequestRoot " + f + "/spool\nCacheDir " + f +
                      "/cache\nStateDir " + f + "/state\nTempDir " + f + "/spool\nErrorLog " + f +
                      "/log/error_log\nAccessLog " + f + "/log/access_log\nPageLog " + f + "/log/page_log\n");
        WriteText(m_folder / "conf/printers.conf",
                  "<DefaultPrinter out>\nState Idle\nAccepting Yes\nDeviceURI tofile:" + Output() + "\n</DefaultPrinter>\n");
        // The device: copies the job's document to the file of its URI, complete or not at all.
        WriteText(m_folder / "bin/backend/tofile",
                  "#!/bin/sh\n[ $# -eq 0 ] && exit 0\nout=${DEVICE_URI#tofile:}\n"
                  "cat \"${6:--}\" > \"$out.part\" && mv \"$out.part\" \"$out\"\n",
                  fs::perms::owner_all);
        m_pid = fork();
        if (m_pid == 0) {
            execlp("cupsd", "cupsd", "-f", "-c", (f + "/conf/cupsd.conf").c_str(), "-s",
                   (f + "/conf/cups-files.conf").c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        m_running = m_pid > 0 && WaitFor([this] { return Loopback(m_port) == 1; }, 10000);
    }
    ~Scheduler()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            if (!WaitFor([this] { return waitpid(m_pid, nullptr, WNOHANG) == m_pid; }, 5000)) {
                kill(m_pid, SIGKILL);
                waitpid(m_pid, nullptr, 0);
            }
        }
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }

    bool Running() const { return m_running; }
    std::string Server() const { return "127.0.0.1:" + std::to_string(m_port); }
    std::string Output() const { return (m_folder / "out/job.pdf").string(); }
    fs::path Folder() const { return m_folder; }

private:
    fs::path m_folder;
    int m_port;
    pid_t m_pid = -1;
    bool m_running = false;
};

// For every fifth pixel of the page, the range of each channel over the pixel and its four neighbours:
// the renderer of the printed document may blend edges by up to a pixel.
struct Range {
    Gdiplus::ARGB low, high;
};
std::vector<Range> Samples(const CMemoryDC& page)
{
    std::vector<Range> samples;
    for (int y = 0; y < page.Height(); y += 5)
        for (int x = 0; x < page.Width(); x += 5) {
            Range range{0, 0};
            for (int shift = 0; shift < 32; shift += 8) {
                int low = 255, high = 0;
                for (auto [dx, dy] : {std::pair{0, 0}, {-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
                    if (x + dx < 0 || y + dy < 0 || x + dx >= page.Width() || y + dy >= page.Height()) continue;
                    int channel = Channel(page.Pixel(x + dx, y + dy), shift);
                    low = std::min(low, channel);
                    high = std::max(high, channel);
                }
                range.low |= static_cast<Gdiplus::ARGB>(low) << shift;
                range.high |= static_cast<Gdiplus::ARGB>(high) << shift;
            }
            samples.push_back(range);
        }
    return samples;
}

// How many samples of the printed page fall outside what was drawn there; -1 for a page of another size.
int Mismatches(const std::vector<Range>& drawn, const std::string& printed, int width, int height)
{
    Gdiplus::Bitmap page(CString(printed.c_str()));
    if (page.GetWidth() != static_cast<UINT>(width) || page.GetHeight() != static_cast<UINT>(height)) return -1;
    int mismatches = 0;
    size_t i = 0;
    for (int y = 0; y < height; y += 5)
        for (int x = 0; x < width; x += 5) {
            Gdiplus::Color color;
            page.GetPixel(x, y, &color);
            const Range& range = drawn[i++];
            for (int shift = 0; shift < 32; shift += 8) {
                int channel = Channel(color.GetValue(), shift);
                if (channel < Channel(range.low, shift) - 8 || channel > Channel(range.high, shift) + 8) {
                    ++mismatches;
                    break;
                }
            }
        }
    return mismatches;
}

}  // namespace

TEST(PrintJob, TwoPagesReachTheDefaultQueueAsDrawn)
{
    Scheduler cups;
    ASSERT_TRUE(cups.Running()) << "cupsd did not start";
    CPrinterDC printer = CPrinterDC::A4(PrintOutput::Queue, "@" + cups.Server(), 100.0f);

    CFxPictor target(nullptr, 160, 120);
    pictor_test::PaintRedWithBlueSquare(target);
    CDC first(printer.StartPage());
    // Destination (100, 100, 400, 300) on the half-scale page covers (50, 50) to (250, 200).
    target.UpdateGdiPrint(&first, 0, 0, 160, 120, 100, 100, 400, 300);
    std::vector<Range> page1 = Samples(*printer.Page());
    ASSERT_TRUE(printer.EndPage());

    CFxPictor green(nullptr, 200, 100);
    green.Clear(0, 160, 0, 255);
    CDC second(printer.StartPage());
    green.UpdateGdi(&second, 300, 600);
    std::vector<Range> page2 = Samples(*printer.Page());
    ASSERT_TRUE(printer.EndDoc("two pages"));
    EXPECT_EQ(printer.Status(), PrintStatus::Ok);
    EXPECT_GT(printer.JobId(), 0);

    ASSERT_TRUE(WaitFor([&] { return fs::exists(cups.Output()); }, 20000)) << "the job never reached the device";
    std::string info = Output("pdfinfo " + cups.Output());
    EXPECT_NE(info.find("Pages:           2"), std::string::npos) << info;
    // 827 × 1169 pixels at 100 dpi.
    EXPECT_NE(info.find("Page size:       595.44 x 841.68 pts"), std::string::npos) << info;

    fs::path pages = cups.Folder() / "page";
    ASSERT_EQ(std::system(("pdftoppm -r 100 -png " + cups.Output() + " " + pages.string()).c_str()), 0);
    EXPECT_EQ(Mismatches(page1, pages.string() + "-1.png", 827, 1169), 0);
    EXPECT_EQ(Mismatches(page2, pages.string() + "-2.png", 827, 1169), 0);
    Gdiplus::Bitmap printed(CString((pages.string() + "-1.png").c_str()));
    // (125, 105): the blue square, halved, at (100, 87.5, 50, 37.5).
    ExpectPixels(printed, {{125, 105, 0xFF0000FF, 24}, {255, 100, 0xFFFFFFFF, 24}});
}

TEST(PrintJob, FailuresAndStrayPageCallsStayOnTheJob)
{
    Scheduler cups;
    ASSERT_TRUE(cups.Running()) << "cupsd did not start";
    auto onePage = [](CPrinterDC& printer) {
        CFxPictor canvas(nullptr, 20, 20);
        canvas.Clear(0, 0, 255, 255);
        CDC dc(printer.StartPage());
        canvas.UpdateGdi(&dc);
        return printer.EndDoc();
    };

    CPrinterDC missing(PrintOutput::Queue, "nosuch@" + cups.Server(), 200, 200, 100.0f);
    EXPECT_FALSE(onePage(missing));
    EXPECT_EQ(missing.Status(), PrintStatus::NoDestination);

    auto start = std::chrono::steady_clock::now();
    CPrinterDC nobody(PrintOutput::Queue, "out@127.0.0.1:" + std::to_string(Loopback(0)), 200, 200, 100.0f);
    EXPECT_FALSE(onePage(nobody));
    EXPECT_EQ(nobody.Status(), PrintStatus::NoScheduler);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));

    CPrinterDC empty(PrintOutput::Queue, "out@" + cups.Server(), 200, 200, 100.0f);
    EXPECT_FALSE(empty.EndPage());
    EXPECT_FALSE(empty.EndDoc());
    EXPECT_EQ(empty.Status(), PrintStatus::NoPage);
    EXPECT_EQ(empty.StartPage(), nullptr);

    std::string nowhere = (cups.Folder() / "no/such/folder.pdf").string();
    CPrinterDC unwritable(PrintOutput::PdfFile, nowhere, 200, 200, 100.0f);
    EXPECT_FALSE(onePage(unwritable));
    EXPECT_EQ(unwritable.Status(), PrintStatus::CannotWrite);
    EXPECT_FALSE(fs::exists(nowhere));

    std::string file = (cups.Folder() / "one.pdf").string();
    CPrinterDC toFile(PrintOutput::PdfFile, file, 200, 100, 100.0f);
    EXPECT_TRUE(onePage(toFile));
    EXPECT_FALSE(toFile.EndDoc());
    EXPECT_EQ(toFile.Status(), PrintStatus::Ended);
    EXPECT_NE(Output("pdfinfo " + file).find("Page size:       144 x 72 pts"), std::string::npos);
    EXPECT_TRUE(fs::is_empty(cups.Folder() / "out"));

    // A page call out of order is reported on the job, and every page that was drawn still prints: an extra
    // EndPage, a StartPage over an open page. EndDoc ends the last page itself.
    const fs::path folder = cups.Folder();
    auto pagesOf = [](const fs::path& pdf) {
        const std::string info = Output("pdfinfo " + pdf.string() + " 2>&1");
        const size_t at = info.find("Pages:");
        return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
    };

    CPrinterDC extraEnd(PrintOutput::PdfFile, (folder / "extra-end.pdf").string(), 200, 200, 100.0f);
    extraEnd.StartPage();
    EXPECT_TRUE(extraEnd.EndPage());
    EXPECT_FALSE(extraEnd.EndPage());
    EXPECT_EQ(extraEnd.Status(), PrintStatus::StrayPage);
    EXPECT_TRUE(extraEnd.EndDoc());
    EXPECT_EQ(pagesOf(folder / "extra-end.pdf"), 1);

    CPrinterDC openTwice(PrintOutput::PdfFile, (folder / "open-twice.pdf").string(), 200, 200, 100.0f);
    openTwice.StartPage();
    EXPECT_NE(openTwice.StartPage(), nullptr);
    EXPECT_TRUE(openTwice.EndPage());
    EXPECT_TRUE(openTwice.EndDoc());
    EXPECT_EQ(openTwice.Status(), PrintStatus::StrayPage);
    EXPECT_EQ(openTwice.PageCount(), 2);
    EXPECT_EQ(pagesOf(folder / "open-twice.pdf"), 2);

    CPrinterDC leftOpen(PrintOutput::PdfFile, (folder / "left-open.pdf").string(), 200, 200, 100.0f);
    leftOpen.StartPage();
    EXPECT_TRUE(leftOpen.EndDoc());
    EXPECT_EQ(leftOpen.Status(), PrintStatus::Ok);
    EXPECT_EQ(pagesOf(folder / "left-open.pdf"), 1);

    // A failure that loses the job still wins over a stray call.
    CPrinterDC strayUnwritable(PrintOutput::PdfFile, (folder / "no/such/folder.pdf").string(), 200, 200, 100.0f);
    EXPECT_FALSE(strayUnwritable.EndPage());
    strayUnwritable.StartPage();
    EXPECT_FALSE(strayUnwritable.EndDoc());
    EXPECT_EQ(strayUnwritable.Status(), PrintStatus::CannotWrite);
}

namespace {

// Runs xclip with the arguments, trying again when the X server turned its connection away.
int Xclip(const std::string& arguments)
{
    std::string command = "for try in 1 2 3 4 5; do timeout 30 xclip -selection clipboard " + arguments +
                          " && exit 0; sleep 0.2; done; exit 1";
    return std::system(("sh -c '" + command + "'").c_str());
}

// A picture of noise, which no encoder can shrink: the transfers go in increments.
std::vector<BYTE> Noise(int width, int height, uint32_t seed)
{
    std::vector<BYTE> pixels(static_cast<size_t>(width) * height * 4);
    for (size_t i = 0; i < pixels.size(); i += 4) {
        seed = seed * 1664525u + 1013904223u;
        pixels[i] = static_cast<BYTE>(seed >> 8);
        pixels[i + 1] = static_cast<BYTE>(seed >> 16);
        pixels[i + 2] = static_cast<BYTE>(seed >> 24);
        pixels[i + 3] = 0xFF;
    }
    return pixels;
}

std::vector<BYTE> PixelsOf(Gdiplus::Bitmap& bitmap)
{
    CFxPictor canvas;
    canvas.CopyFromBitmap(&bitmap);
    std::vector<BYTE> pixels(static_cast<size_t>(canvas.GetSize().cx) * canvas.GetSize().cy * 4);
    canvas.GetBits(pixels.data(), 0, 0, canvas.GetSize().cx, canvas.GetSize().cy);
    return pixels;
}

long long StatusKb(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::atoll(line.c_str() + std::strlen(field));
    return -1;
}

// What some work cost in a forked child: the peak of its resident memory above what the child held as it
// began (nothing else runs there), and its time; `check` runs after the measurement.
struct Cost {
    bool checked = false;
    double megabytes = 0;
    double seconds = 0;
};
Cost Measure(const std::function<void()>& work, const std::function<bool()>& check)
{
    int fds[2];
    if (pipe(fds) != 0) return Cost();
    pid_t child = fork();
    if (child == 0) {
        // The peak starts here (a new process's peak is already its size).
        std::ofstream("/proc/self/clear_refs") << "5";
        long long before = StatusKb("VmRSS:");
        auto start = std::chrono::steady_clock::now();
        work();
        Cost cost{false, (StatusKb("VmHWM:") - before) / 1024.0,
                  std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()};
        cost.checked = check();
        _exit(write(fds[1], &cost, sizeof(cost)) == sizeof(cost) ? 0 : 1);
    }
    close(fds[1]);
    Cost cost;
    pollfd answer = {fds[0], POLLIN, 0};
    if (child < 0 || poll(&answer, 1, 60000) <= 0 || read(fds[0], &cost, sizeof(cost)) != sizeof(cost)) cost = Cost();
    close(fds[0]);
    if (child > 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    return cost;
}

class DesktopClipboard : public testing::Test {
protected:
    void SetUp() override
    {
        if (!kXServer->Started()) GTEST_SKIP() << "no private X server (DISPLAY was set, or Xvfb is missing)";
        m_folder = fs::temp_directory_path() / ("pictor-clip-" + std::to_string(getpid()));
        fs::create_directories(m_folder);
        for (int attempt = 0; attempt < 5 && (!m_x || xcb_connection_has_error(m_x)); ++attempt) {
            if (m_x) xcb_disconnect(m_x);
            std::this_thread::sleep_for(std::chrono::milliseconds(100 * attempt));
            m_x = xcb_connect(nullptr, nullptr);
        }
        ASSERT_EQ(xcb_connection_has_error(m_x), 0);
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(m_x, xcb_intern_atom(m_x, 0, 9, "CLIPBOARD"), nullptr);
        m_clipboard = atom->atom;
        std::free(atom);
    }
    void TearDown() override
    {
        if (m_x) xcb_disconnect(m_x);
        std::error_code ignored;
        fs::remove_all(m_folder, ignored);
    }
    std::string File(const char* name) const { return (m_folder / name).string(); }

    xcb_window_t Owner() const
    {
        xcb_get_selection_owner_reply_t* reply =
            xcb_get_selection_owner_reply(m_x, xcb_get_selection_owner(m_x, m_clipboard), nullptr);
        xcb_window_t owner = reply ? reply->owner : 0;
        std::free(reply);
        return owner;
    }
    // xclip takes the selection only after it has gone to the background.
    bool XclipIn(const std::string& arguments)
    {
        xcb_window_t before = Owner();
        return Xclip(arguments + " -i >/dev/null 2>&1") == 0 && WaitFor([&] { return Owner() != before; }, 10000);
    }

    fs::path m_folder;
    xcb_connection_t* m_x = nullptr;
    xcb_atom_t m_clipboard = 0;
};

}  // namespace

TEST_F(DesktopClipboard, PicturesGoBothWaysWithAnotherProgramAndOutliveTheCopier)
{
    const int width = 4000, height = 3000;
    std::vector<BYTE> noise = Noise(width, height, 7);
    // The copying process ends before anyone pastes.
    pid_t copier = fork();
    if (copier == 0) {
        CFxPictor canvas(nullptr, width, height);
        canvas.SetBits(noise.data(), 0, 0);
        canvas.CopyToClipBoard(0, 0, width, height);
        _exit(GetClipboardStatus() == ClipboardStatus::Ok ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(copier, &status, 0), copier);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    std::string targets = Output("sh -c 'for try in 1 2 3 4 5; do xclip -selection clipboard -t TARGETS -o && exit; "
                                 "sleep 0.2; done'");
    EXPECT_NE(targets.find("image/png"), std::string::npos) << targets;
    EXPECT_NE(targets.find("image/bmp"), std::string::npos) << targets;
    for (const char* type : {"png", "bmp"}) {
        std::string pasted = File(type);
        ASSERT_EQ(Xclip("-t image/" + std::string(type) + " -o > " + pasted), 0);
        Gdiplus::Bitmap picture(CString(pasted.c_str()));
        EXPECT_EQ(PixelsOf(picture), noise) << type;
    }

    // The other way: the picture as another program holds it (this process never copied it).
    ASSERT_TRUE(XclipIn("-t image/png " + File("png")));
    HWND__ window;
    CFxPictor pasted(&window, 5, 5);
    pasted.CopyFromClipBoard();
    EXPECT_EQ(GetClipboardStatus(), ClipboardStatus::Ok);
    EXPECT_EQ(pasted.GetSize(), CSize(width, height));
    EXPECT_EQ(pasted.m_hWnd, nullptr);
    std::vector<BYTE> got(noise.size());
    pasted.GetBits(got.data(), 0, 0, width, height);
    EXPECT_EQ(got, noise);
}

TEST_F(DesktopClipboard, FaultsAreBoundedAndLeaveTheCanvasAlone)
{
    HWND__ window;
    CFxPictor canvas(&window, 7, 5);
    canvas.Clear(9, 8, 7, 255);
    auto unchanged = [&] {
        EXPECT_EQ(canvas.GetSize(), CSize(7, 5));
        EXPECT_EQ(canvas.m_hWnd, &window);
        EXPECT_EQ(PixelOf(canvas, 3, 3), 0xFF090807u);
    };

    ASSERT_TRUE(XclipIn("/etc/hostname"));
    canvas.CopyFromClipBoard();
    EXPECT_EQ(GetClipboardStatus(), ClipboardStatus::NoPicture);
    unchanged();

    // An owner that never answers: this test's own connection.
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_x)).data;
    xcb_window_t silent = xcb_generate_id(m_x);
    xcb_create_window(m_x, 0, silent, screen->root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY, screen->root_visual, 0,
                      nullptr);
    xcb_set_selection_owner(m_x, silent, m_clipboard, XCB_CURRENT_TIME);
    ASSERT_EQ(Owner(), silent);
    auto start = std::chrono::steady_clock::now();
    canvas.CopyFromClipBoard();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
    EXPECT_EQ(GetClipboardStatus(), ClipboardStatus::NoAnswer);
    unchanged();

    // The display goes away: this process's own (empty) clipboard is read. (DISPLAY then names a display
    // nobody runs: another test's server may take the freed number.)
    kXServer->Stop();
    setenv("DISPLAY", ":65000", 1);
    canvas.CopyFromClipBoard();
    EXPECT_EQ(GetClipboardStatus(), ClipboardStatus::NoDisplay);
    unchanged();
}

TEST_F(DesktopClipboard, LargePicturesStreamBothWaysHeldAboutOnce)
{
    // 6 megapixels (24 MB) of noise: copying and pasting may hold about twice the picture, briefly.
    const int width = 3000, height = 2000;
    const double pictureMb = width * height * 4 / 1048576.0, limitMb = 2.5 * pictureMb + 16;
    std::vector<BYTE> noise = Noise(width, height, 11);
    CFxPictor canvas(nullptr, width, height);
    canvas.SetBits(noise.data(), 0, 0);
    Cost copy = Measure([&] { canvas.CopyToClipBoard(0, 0, width, height); },
                        [] { return GetClipboardStatus() == ClipboardStatus::Ok; });
    CFxPictor pasted;
    Cost paste = Measure([&] { pasted.CopyFromClipBoard(); },
                         [&] {
                             std::vector<BYTE> got(noise.size());
                             pasted.GetBits(got.data(), 0, 0, width, height);
                             return GetClipboardStatus() == ClipboardStatus::Ok &&
                                    pasted.GetSize() == CSize(width, height) && got == noise;
                         });
    std::printf("%.0f MB picture: copy %.1f MB in %.2f s, paste %.1f MB in %.2f s\n", pictureMb, copy.megabytes,
                copy.seconds, paste.megabytes, paste.seconds);
    EXPECT_TRUE(copy.checked);
    EXPECT_TRUE(paste.checked);
    EXPECT_LT(copy.megabytes, limitMb);
    EXPECT_LT(paste.megabytes, limitMb);
    EXPECT_LT(copy.seconds, 10.0);
    EXPECT_LT(paste.seconds, 10.0);
}

TEST_F(DesktopClipboard, TransparentPixelsArePastedOverWhite)
{
    // An interlaced PNG: five columns of (200, 100, 0) at alpha 128, then four transparent ones.
    ASSERT_TRUE(XclipIn("-t image/png " PICTOR_TEST_DATA "/alpha-interlaced.png"));
    CFxPictor pasted;
    pasted.CopyFromClipBoard();
    ASSERT_EQ(GetClipboardStatus(), ClipboardStatus::Ok);
    ASSERT_EQ(pasted.GetSize(), CSize(9, 5));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(PixelOf(pasted, x, y), x < 5 ? 0xFFE3B17Fu : 0xFFFFFFFFu) << x << ", " << y;
}

namespace {

uint32_t Colour(int x, int y) { return static_cast<uint32_t>(0x102030 * (x + 1) + 0x050709 * y) & 0xFFFFFF; }

// A 24-bit BMP whose pixel (x, y) is Colour(x, y), rows from the bottom or from the top.
std::vector<uint8_t> Bmp24(int width, int height, bool topDown)
{
    const int rowSize = (width * 3 + 3) & ~3;
    std::vector<uint8_t> file{'B', 'M'};
    auto put = [&file](uint32_t value, int size) {
        for (int i = 0; i < size; ++i) file.push_back(static_cast<uint8_t>(value >> (8 * i)));
    };
    for (uint32_t field : {54u + rowSize * height, 0u, 54u, 40u}) put(field, 4);
    put(width, 4);
    put(topDown ? -height : height, 4);
    put(1, 2);
    put(24, 2);
    for (int i = 0; i < 6; ++i) put(0, 4);
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) put(Colour(x, topDown ? row : height - 1 - row), 3);
        file.resize(file.size() + (rowSize - width * 3), 0);
    }
    return file;
}

// The picture decoded from the file handed over `piece` bytes at a time; null when refused.
std::unique_ptr<Gdiplus::Bitmap> DecodeInPieces(const std::vector<uint8_t>& file, DesktopPictureType type, size_t piece)
{
    ClipboardPictureDecoder decoder([](int width, int height) { return new Gdiplus::Bitmap(width, height); });
    if (!decoder.Begin(type)) return nullptr;
    for (size_t at = 0; at < file.size(); at += piece)
        if (!decoder.Take(file.data() + at, std::min(piece, file.size() - at))) return nullptr;
    return decoder.Finish();
}

}  // namespace

TEST(ClipboardPictures, DecodeTheSameWhateverPiecesTheyComeIn)
{
    for (bool topDown : {false, true}) {
        std::vector<uint8_t> bmp = Bmp24(5, 3, topDown);
        for (size_t piece : {bmp.size(), size_t{1}, size_t{7}}) {
            std::unique_ptr<Gdiplus::Bitmap> picture = DecodeInPieces(bmp, DesktopPictureType::Bmp, piece);
            ASSERT_TRUE(picture) << piece;
            ASSERT_EQ(picture->GetWidth(), 5u);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 5; ++x)
                    EXPECT_EQ(PixelOf(*picture, x, y), 0xFF000000u | Colour(x, y)) << x << ", " << y << " in " << piece;
        }
        bmp.pop_back();
        EXPECT_FALSE(DecodeInPieces(bmp, DesktopPictureType::Bmp, 5));
    }

    std::vector<char> read = ReadFile(PICTOR_TEST_DATA "/alpha-interlaced.png");
    std::vector<uint8_t> png(read.begin(), read.end());
    for (size_t piece : {png.size(), size_t{1}, size_t{7}}) {
        std::unique_ptr<Gdiplus::Bitmap> picture = DecodeInPieces(png, DesktopPictureType::Png, piece);
        ASSERT_TRUE(picture) << piece;
        ExpectPixels(*picture, {{4, 4, 0xFFE3B17Fu}, {5, 0, 0xFFFFFFFFu}});
    }
    png.resize(png.size() - 20);
    EXPECT_FALSE(DecodeInPieces(png, DesktopPictureType::Png, 7));
    EXPECT_FALSE(DecodeInPieces(std::vector<uint8_t>(100, 'x'), DesktopPictureType::Png, 7));
}
