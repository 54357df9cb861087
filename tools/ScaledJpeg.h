// JPEG files decoded at a reduced scale by libjpeg-turbo, for thumbnails: a 4000 x 3000 photo shrunk to
// 800 x 600 needs only a quarter of each side decoded, which is far quicker and smaller than the whole.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

class ScaledJpeg {
public:
    // Reads the file's header; Valid() is false for anything but a JPEG of 8-bit grey, YCbCr or RGB samples.
    explicit ScaledJpeg(const std::string& path);
    ~ScaledJpeg();
    ScaledJpeg(const ScaledJpeg&) = delete;
    ScaledJpeg& operator=(const ScaledJpeg&) = delete;

    bool Valid() const { return m_valid; }
    int FullWidth() const { return m_fullWidth; }
    int FullHeight() const { return m_fullHeight; }

    // Decodes at the smallest scale n/8 (n = 1 to 8) whose picture is at least minWidth x minHeight, into
    // 32-bit rows (blue, green, red, unused byte) of width x height pixels. False on any damage the decoder
    // notices, even one it could step over, so that such files take the ordinary road; false too when the
    // file's scans would take more work or memory than its size warrants (then Refused() is true).
    bool Decode(int minWidth, int minHeight, std::vector<uint8_t>& pixels, int& width, int& height);
    // True once Decode gave up on the work or memory the file asked for; the library refuses such a file too.
    bool Refused() const { return m_refused; }

private:
    struct State;
    std::unique_ptr<FILE, int (*)(FILE*)> m_file;
    std::unique_ptr<State> m_state;
    bool m_valid = false;
    bool m_refused = false;
    int m_fullWidth = 0, m_fullHeight = 0;
};
