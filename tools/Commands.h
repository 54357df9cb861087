// The jobs of the `pictor` tool, each on one input picture and one output file.
#pragma once

#include <mutex>
#include <string>

#include "FxPictor.h"

struct Job {
    std::string command;  // thumb, rotate, crop or convert
    int width = 0, height = 0;         // thumb: the thumbnail's size
    bool fit = false;                  // thumb: keep the aspect ratio on a white ground
    int quality = 90;                  // JPEG output
    int turn = 0;                      // rotate: 90, 180 or 270 degrees clockwise
    bool mirror = false;               // rotate: mirror left to right after the turn
    int x = 0, y = 0, w = 0, h = 0;    // crop: the rectangle to keep
    bool engineMessages = false;       // let the engine's own messages through
};

// While it lives, the engine's own messages (it writes to standard output and error) go nowhere, unless let
// through; the tool's own lines still reach standard error, whole, from any thread.
class QuietEngine {
public:
    explicit QuietEngine(bool letThrough);
    ~QuietEngine();
    QuietEngine(const QuietEngine&) = delete;
    QuietEngine& operator=(const QuietEngine&) = delete;

    // Writes the text to the real standard error.
    void Say(const std::string& text);

private:
    int m_out = -1, m_err = -1;
    std::mutex m_saying;
};

// Runs the job from one file to another (a thumbnail of a JPEG file decodes only as much of it as the
// thumbnail needs). The result is written to a temporary file beside the output, checked by decoding it
// back, and only then renamed into place (through a symbolic link, onto its target). On failure it says
// why in `error` and every existing file is left as it was. Jobs on distinct files may run at once.
bool RunJob(const Job& job, const std::string& input, const std::string& output, std::string& error);

// True for the output names the tool can write: .jpg, .jpeg, .png, .bmp, .gif, .tif, .tiff.
bool KnownOutputType(const std::string& path);

// The path with its folder made absolute and free of links, for telling whether two paths name one file;
// the path as given when its folder does not exist.
std::string CanonicalPath(const std::string& path);
