// The `pictor` tool, run as a user runs it, on pictures the test makes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestSupport.h"

using pictor_test::ExpectPixels;

namespace {

struct ToolRun {
    int status;
    std::string out, err;
};

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

class Tool : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/pictor-cli-XXXXXX";
        folder = mkdtemp(pattern);
        // A 400 x 200 picture: red left half, blue right half.
        CFxPictor picture(nullptr, 400, 200);
        picture.Clear(0, 0, 255, 255);
        picture.FillRect(0, 0, 200, 200, Gdiplus::Color(0xFFFF0000u));
        input = folder + "/in.png";
        CLSID png;
        ASSERT_EQ(picture.GetEncCLSID(CString("image/png"), &png), 1);
        ASSERT_EQ(picture.GetBitmap()->Save(CString(input.c_str()), &png, nullptr), Gdiplus::Ok);
    }
    void TearDown() override { std::system(("rm -rf '" + folder + "'").c_str()); }

    ToolRun Pictor(const std::string& arguments)
    {
        const std::string out = folder + "/stdout", err = folder + "/stderr";
        const std::string line = std::string(PICTOR_TOOL) + " " + arguments + " >" + out + " 2>" + err;
        const int raw = std::system(line.c_str());
        return ToolRun{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadAll(out), ReadAll(err)};
    }

    std::string folder, input;
};

}  // namespace

TEST_F(Tool, JobsMakeTheirPictures)
{
    ToolRun help = Pictor("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("thumb"), std::string::npos);

    const std::string thumb = folder + "/thumb.jpg", jpeg = folder + "/in.jpg";
    ASSERT_EQ(Pictor("thumb " + input + " " + thumb + " --size 100x100 --fit --quality 95").status, 0);
    CFxPictor result;
    ASSERT_EQ(result.LoadImageW(CString(thumb.c_str())), 1);
    EXPECT_EQ(result.GetSize(), CSize(100, 100));
    // Fitted: white above the 100 x 50 picture.
    ExpectPixels(result, {{50, 5, 0xFFFFFFFFu, 8}, {20, 50, 0xFFFF0000u, 24}, {80, 50, 0xFF0000FFu, 24}});
    // A JPEG input is decoded at a reduced scale, and lands where the library's fitting puts it.
    ASSERT_EQ(result.LoadImageW(CString(input.c_str())), 1);
    result.SaveJPG(CString(jpeg.c_str()), 95);
    ASSERT_EQ(Pictor("thumb " + jpeg + " " + thumb + " --size 75x90 --fit").status, 0);
    ASSERT_EQ(result.LoadImageW(CString(thumb.c_str())), 1);
    EXPECT_EQ(result.GetSize(), CSize(75, 90));
    ExpectPixels(
        result,
        {{37, 10, 0xFFFFFFFFu, 24}, {37, 80, 0xFFFFFFFFu, 24}, {15, 45, 0xFFFF0000u, 24}, {60, 45, 0xFF0000FFu, 24}});

    const std::string turned = folder + "/turned.png";
    ASSERT_EQ(Pictor("rotate " + input + " " + turned + " --turn 90").status, 0);
    ASSERT_EQ(result.LoadImageW(CString(turned.c_str())), 1);
    EXPECT_EQ(result.GetSize(), CSize(200, 400));
    ExpectPixels(result, {{100, 50, 0xFFFF0000u}, {100, 350, 0xFF0000FFu}});  // the left half is now on top

    const std::string cropped = folder + "/cropped.bmp";
    ASSERT_EQ(Pictor("crop " + input + " " + cropped + " --rect 190,10,20,30").status, 0);
    ASSERT_EQ(result.LoadImageW(CString(cropped.c_str())), 1);
    EXPECT_EQ(result.GetSize(), CSize(20, 30));
    ExpectPixels(result, {{5, 5, 0xFFFF0000u}, {15, 5, 0xFF0000FFu}});

    const std::string converted = folder + "/converted.gif";
    ASSERT_EQ(Pictor("convert " + input + " " + converted).status, 0);
    ASSERT_EQ(result.LoadImageW(CString(converted.c_str())), 1);
    EXPECT_EQ(result.GetSize(), CSize(400, 200));
}

TEST_F(Tool, BadInputFailsAndWritesNothing)
{
    // A missing file, one that is no picture, a JPEG cut short, and a valid picture wider than the engine can
    // draw: refused, not a crash, naming the input.
    const std::string out = folder + "/out.jpg";
    std::ofstream(folder + "/garbage.png") << "this is not a picture";
    std::ofstream(folder + "/cut.jpg") << "\xFF\xD8\xFF\xE0 a JPEG cut short";
    const std::pair<std::string, std::string> unreadable[] = {{"convert", folder + "/nothing.png"},
                                                              {"thumb", folder + "/garbage.png"},
                                                              {"thumb", folder + "/cut.jpg"},
                                                              {"convert", PICTOR_TEST_DATA "/wide-32768x1.png"}};
    for (const auto& [job, file] : unreadable) {
        const ToolRun run = Pictor(job + " " + file + " " + out + (job == "thumb" ? " --size 10x10" : ""));
        EXPECT_EQ(run.status, 1) << file;
        EXPECT_NE(run.err.find(file.substr(file.rfind('/') + 1)), std::string::npos) << file;
    }

    for (const char* size : {"0x10", "10x", "axb", "-5x5", "10x10x"})
        EXPECT_EQ(Pictor("thumb " + input + " " + out + " --size " + size).status, 2) << size;
    EXPECT_EQ(Pictor("thumb " + input + " " + out).status, 2);
    EXPECT_EQ(Pictor("crop " + input + " " + out + " --rect 500,500,10,10").status, 1);
    EXPECT_EQ(Pictor("convert " + input + " " + folder + "/out.xyz").status, 2);
    EXPECT_EQ(Pictor("spin " + input + " " + out).status, 2);
    EXPECT_FALSE(Exists(out));
}

TEST_F(Tool, ManyInputsGoToAFolderWithProgressUnlessTwoWouldShareAnOutput)
{
    const std::string second = folder + "/second.png", outputs = folder + "/thumbs";
    ASSERT_EQ(std::system(("cp " + input + " " + second + " && mkdir " + outputs).c_str()), 0);
    ToolRun batch = Pictor("thumb " + input + " " + second + " " + outputs + " --size 40x20 --format png");
    EXPECT_EQ(batch.status, 0);
    EXPECT_NE(batch.err.find("[2/2]"), std::string::npos);
    CFxPictor result;
    EXPECT_EQ(result.LoadImageW(CString((outputs + "/second.png").c_str())), 1);
    EXPECT_EQ(result.GetSize(), CSize(40, 20));
    EXPECT_TRUE(Exists(outputs + "/in.png"));
    EXPECT_EQ(Pictor("thumb " + input + " " + second + " " + folder + "/no-such-folder --size 4x4").status, 2);

    // Two inputs of the same name would share an output: refused, nothing written.
    const std::string shared = folder + "/out";
    ASSERT_EQ(std::system(("mkdir " + folder + "/a " + folder + "/b " + shared + " && cp " + input + " " + folder +
                           "/a/x.png && cp " + input + " " + folder + "/b/x.png")
                              .c_str()),
              0);
    ToolRun clash = Pictor("convert " + folder + "/a/x.png " + folder + "/b/x.png " + shared + " --format png");
    EXPECT_EQ(clash.status, 2);
    EXPECT_NE(clash.err.find("both"), std::string::npos);
    EXPECT_FALSE(Exists(shared + "/x.png"));
}

TEST_F(Tool, FailuresLeaveEveryExistingFileAsItWasAndSayWhy)
{
    const std::string before = ReadAll(input);
    // Too large to draw, written over its own input: refused, the input kept.
    ToolRun huge = Pictor("thumb " + input + " " + input + " --size 65535x65535");
    EXPECT_EQ(huge.status, 1);
    EXPECT_NE(huge.err.find("larger than"), std::string::npos);
    EXPECT_EQ(ReadAll(input), before);

    // Writes cut short (a file size limit stands for a full disk) fail even where the encoder reports
    // success, and the old file stays.
    for (const char* type : {"bmp", "tif", "jpg"}) {
        const std::string old = folder + "/old." + type;
        std::ofstream(old) << "old contents";
        const std::string line = "bash -c \"trap '' XFSZ; ulimit -f 1; exec " + std::string(PICTOR_TOOL) + " convert " +
                                 input + " " + old + "\" 2>/dev/null";
        const int raw = std::system(line.c_str());
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 1) << type;
        EXPECT_EQ(ReadAll(old), "old contents") << type;
    }
    // A link is written through to its target, and stays a link; a failure leaves both.
    const std::string link = folder + "/link.png";
    ASSERT_EQ(symlink(input.c_str(), link.c_str()), 0);
    EXPECT_EQ(Pictor("thumb " + link + " " + link + " --size 40000x10").status, 1);
    EXPECT_EQ(ReadAll(input), before);
    ASSERT_EQ(Pictor("thumb " + link + " " + link + " --size 30x20").status, 0);
    struct stat info {};
    EXPECT_TRUE(lstat(link.c_str(), &info) == 0 && S_ISLNK(info.st_mode));
    CFxPictor result;
    ASSERT_EQ(result.LoadImageW(CString(input)), 1);
    EXPECT_EQ(result.GetSize(), CSize(30, 20));

    const std::string dir = folder + "/dir.png";
    ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
    EXPECT_EQ(Pictor("convert " + input + " " + dir).status, 1);
    EXPECT_TRUE(stat(dir.c_str(), &info) == 0 && S_ISDIR(info.st_mode));

    // No temporary file is left behind.
    EXPECT_NE(std::system(("ls -a " + folder + " | grep -q '^\\.pictor-'").c_str()), 0);

    // The engine's own complaint about a broken file does not reach the terminal.
    std::ofstream(folder + "/cut.png") << before.substr(0, before.size() / 2);
    ToolRun broken = Pictor("convert " + folder + "/cut.png " + folder + "/cut.jpg");
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.err.rfind("pictor: cannot read '" + folder + "/cut.png': not a picture", 0), 0u);
    EXPECT_EQ(broken.err.find("libpng"), std::string::npos);
}

// A progressive JPEG of 883 scans over a 4096 x 4096 picture (3 s of decoding at a reduced scale too) is
// refused once it has cost what its size allows: a message naming it, exit 1, nothing written.
TEST_F(Tool, JpegOfTooManyScansIsRefusedPromptly)
{
    const std::string jpeg = folder + "/many-scans.jpg", out = folder + "/out.jpg";
    pictor_test::WriteFile(jpeg, pictor_test::ManyScanJpeg(4096, 4096, 883));
    const auto start = std::chrono::steady_clock::now();
    ToolRun thumb = Pictor("thumb " + jpeg + " " + out + " --size 160x120");
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 3.0);
    EXPECT_EQ(thumb.status, 1);
    EXPECT_NE(thumb.err.find("many-scans.jpg"), std::string::npos) << thumb.err;
    EXPECT_FALSE(Exists(out));
}
