// The jobs of the `pictor` tool, each on one input picture and one output file.
#pragma once

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
};

// Runs the job from one file to another; on failure says why in `error` and writes nothing.
bool RunJob(const Job& job, const std::string& input, const std::string& output, std::string& error);

// True for the output names the tool can write: .jpg, .jpeg, .png, .bmp, .gif, .tif, .tiff.
bool KnownOutputType(const std::string& path);
