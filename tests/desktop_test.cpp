// The desktop services with the real programs: a CUPS scheduler started here on a private port and
// folder, and (below) the X clipboard under a private X server.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "TestSupport.h"
#include "XServer.h"
#include "win/PrinterDC.h"

using namespace pictor_test;
namespace fs = std::filesystem;

namespace {

const testing::Environment* const kXServer = testing::AddGlobalTestEnvironment(new XServer);

bool WaitFor(const std::function<bool()>& ready, int timeoutMs)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!ready()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

int FreePort()
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof(address);
    bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    close(fd);
    return ntohs(address.sin_port);
}

bool Accepts(int port)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    close(fd);
    return connected;
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
    Scheduler() : m_folder(fs::temp_directory_path() / ("pictor-cups-" + std::to_string(getpid()))), m_port(FreePort())
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
        m_running = m_pid > 0 && WaitFor([this] { return Accepts(m_port); }, 10000);
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

// The canvas of the first page: red with a blue square.
void DrawTarget(CFxPictor& canvas)
{
    canvas.Clear(255, 0, 0, 255);
    Gdiplus::SolidBrush blue(Gdiplus::Color(0xFF0000FF));
    canvas.m_pGraphics->FillRectangle(&blue, 40, 30, 40, 30);
}

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
    DrawTarget(target);
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
    Gdiplus::Color color;
    printed.GetPixel(125, 105, &color);  // the blue square, halved, at (100, 87.5, 50, 37.5)
    EXPECT_TRUE(Near(color.GetValue(), 0xFF0000FF, 24)) << std::hex << color.GetValue();
    printed.GetPixel(255, 100, &color);
    EXPECT_TRUE(Near(color.GetValue(), 0xFFFFFFFF, 24)) << std::hex << color.GetValue();
}

TEST(PrintJob, FailuresStayOnTheJob)
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
    CPrinterDC nobody(PrintOutput::Queue, "out@127.0.0.1:" + std::to_string(FreePort()), 200, 200, 100.0f);
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
}
