// pictor: everyday picture jobs on the PICTOR library.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

#include "Commands.h"

namespace {

const char* kUsage =
    "usage: pictor COMMAND INPUT... OUTPUT [options]\n"
    "\n"
    "commands:\n"
    "  thumb    INPUT OUTPUT --size WxH [--fit] [--quality Q]\n"
    "           a thumbnail of W x H pixels; --fit keeps the aspect ratio on white\n"
    "  rotate   INPUT OUTPUT --turn 90|180|270 [--mirror] [--quality Q]\n"
    "           turned clockwise; --mirror then mirrors left to right\n"
    "  crop     INPUT OUTPUT --rect X,Y,W,H [--quality Q]\n"
    "           the rectangle of the picture, clipped to it\n"
    "  convert  INPUT OUTPUT [--quality Q]\n"
    "           the picture in the format its output name gives\n"
    "\n"
    "Inputs: any picture the engine decodes (PNG, JPEG, BMP, GIF, TIFF...).\n"
    "Outputs: .jpg/.jpeg (quality Q, 1-100, default 90), .png, .bmp, .gif, .tif/.tiff.\n"
    "With several inputs OUTPUT is a folder; each result keeps its input's name with the\n"
    "extension of --format EXT (default jpg), and a progress line is printed for each;\n"
    "two inputs that would give one output name are refused.\n"
    "Each result is checked before it replaces OUTPUT; on failure existing files are kept.\n"
    "--engine-messages lets the drawing engine's own messages through.\n"
    "Exit status: 0 done, 1 a file could not be read or written, 2 bad arguments.\n";

int UsageError(const std::string& message)
{
    std::fprintf(stderr, "pictor: %s\n(try 'pictor --help')\n", message.c_str());
    return 2;
}

bool ParseNumber(const std::string& text, int& value)
{
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || number < -1000000 || number > 1000000) return false;
    value = static_cast<int>(number);
    return true;
}

bool ParseSize(const std::string& text, int& width, int& height)
{
    const size_t x = text.find('x');
    return x != std::string::npos && ParseNumber(text.substr(0, x), width) &&
           ParseNumber(text.substr(x + 1), height) && width > 0 && height > 0 && width <= 65535 && height <= 65535;
}

bool ParseRect(const std::string& text, Job& job)
{
    int* parts[] = {&job.x, &job.y, &job.w, &job.h};
    size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        const size_t comma = i < 3 ? text.find(',', start) : text.size();
        if (comma == std::string::npos || !ParseNumber(text.substr(start, comma - start), *parts[i])) return false;
        start = comma + 1;
    }
    return job.w > 0 && job.h > 0;
}

bool IsFolder(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string OutputInFolder(const std::string& folder, const std::string& input, const std::string& extension)
{
    const size_t slash = input.find_last_of('/');
    std::string name = slash == std::string::npos ? input : input.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return folder + "/" + name + "." + extension;
}

// Why the outputs of several inputs cannot all be written: two would share a name, or one would replace
// an input; empty when they can.
std::string Collision(const std::vector<std::string>& inputs, const std::vector<std::string>& outputs)
{
    std::map<std::string, size_t> owner;
    for (size_t i = 0; i < outputs.size(); ++i) {
        const auto [at, fresh] = owner.emplace(CanonicalPath(outputs[i]), i);
        if (!fresh)
            return "'" + inputs[at->second] + "' and '" + inputs[i] + "' would both be written to '" + outputs[i] + "'";
    }
    for (size_t i = 0; i < inputs.size(); ++i) {
        const auto found = owner.find(CanonicalPath(inputs[i]));
        if (found != owner.end() && found->second != i)
            return "'" + inputs[found->second] + "' would be written over the input '" + inputs[i] + "'";
    }
    return "";
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return UsageError("no command given");
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }

    Job job;
    job.command = args[0];
    if (job.command != "thumb" && job.command != "rotate" && job.command != "crop" && job.command != "convert")
        return UsageError("unknown command '" + job.command + "'");

    std::vector<std::string> files;
    std::string format = "jpg";
    bool haveSize = false, haveTurn = false, haveRect = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--fit") {
            job.fit = true;
        } else if (arg == "--mirror") {
            job.mirror = true;
        } else if (arg == "--engine-messages") {
            job.engineMessages = true;
        } else if (arg == "--size" && hasValue) {
            if (!ParseSize(args[++i], job.width, job.height)) return UsageError("bad size '" + args[i] + "', want WxH");
            haveSize = true;
        } else if (arg == "--quality" && hasValue) {
            if (!ParseNumber(args[++i], job.quality) || job.quality < 1 || job.quality > 100)
                return UsageError("bad quality '" + args[i] + "', want 1 to 100");
        } else if (arg == "--turn" && hasValue) {
            if (!ParseNumber(args[++i], job.turn) || (job.turn != 90 && job.turn != 180 && job.turn != 270))
                return UsageError("bad turn '" + args[i] + "', want 90, 180 or 270");
            haveTurn = true;
        } else if (arg == "--rect" && hasValue) {
            if (!ParseRect(args[++i], job)) return UsageError("bad rectangle '" + args[i] + "', want X,Y,W,H");
            haveRect = true;
        } else if (arg == "--format" && hasValue) {
            format = args[++i];
        } else if (arg.rfind("--", 0) == 0) {
            return UsageError("unknown or incomplete option '" + arg + "'");
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() < 2) return UsageError("want an INPUT and an OUTPUT");
    if (job.command == "thumb" && !haveSize) return UsageError("thumb wants --size WxH");
    if (job.command == "rotate" && !haveTurn) return UsageError("rotate wants --turn 90|180|270");
    if (job.command == "crop" && !haveRect) return UsageError("crop wants --rect X,Y,W,H");

    const std::string output = files.back();
    files.pop_back();
    const bool many = files.size() > 1;
    if (many && !IsFolder(output)) return UsageError("with several inputs, OUTPUT must be an existing folder");
    if (many && !KnownOutputType("x." + format)) return UsageError("unknown output format '" + format + "'");
    if (!many && !KnownOutputType(output))
        return UsageError("cannot tell the format of '" + output + "' (use .jpg, .png, .bmp, .gif or .tif)");

    std::vector<std::string> targets;
    for (const std::string& file : files) targets.push_back(many ? OutputInFolder(output, file, format) : output);
    if (many) {
        const std::string clash = Collision(files, targets);
        if (!clash.empty()) return UsageError(clash);
    }

    // The jobs share out every core, each on its own canvas; a job's lines are printed as it ends.
    QuietEngine quiet(job.engineMessages);
    std::atomic<size_t> next{0};
    std::atomic<int> failures{0};
    auto work = [&] {
        for (size_t i = next++; i < files.size(); i = next++) {
            std::string error;
            const bool ok = RunJob(job, files[i], targets[i], error);
            std::string lines;
            if (many)
                lines = "[" + std::to_string(i + 1) + "/" + std::to_string(files.size()) + "] " + files[i] + " -> " +
                        targets[i] + (ok ? "" : " failed") + "\n";
            if (!ok) {
                lines += "pictor: " + error + "\n";
                ++failures;
            }
            quiet.Say(lines);
        }
    };
    const size_t threads = std::min<size_t>(files.size(), std::max(1u, std::thread::hardware_concurrency()));
    {
        std::vector<std::jthread> pool;
        for (size_t t = 1; t < threads; ++t) pool.emplace_back(work);
        work();
    }
    return failures ? 1 : 0;
}
