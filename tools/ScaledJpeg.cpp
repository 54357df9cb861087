#include "ScaledJpeg.h"

#include <csetjmp>
#include <jpeglib.h>
#include <new>

#include "gdiplus/codecs/JpegBudget.h"

// libjpeg reports errors through a jump back into the call that started the work: only plain data lives
// in the frames it jumps over.
struct ScaledJpeg::State {
    jpeg_decompress_struct info{};
    jpeg_error_mgr manager{};
    std::jmp_buf jump{};
    Gdiplus::JpegBudget budget{};
    bool created = false;
    ~State()
    {
        if (created) jpeg_destroy_decompress(&info);
    }
};

namespace {

[[noreturn]] void JumpBack(j_common_ptr info) { std::longjmp(*static_cast<std::jmp_buf*>(info->client_data), 1); }

// Warnings (corrupt data the decoder steps over) end the decoding as errors do; trace messages are dropped.
void WarningsAreErrors(j_common_ptr info, int level)
{
    if (level < 0) JumpBack(info);
}

bool StartsLikeJpeg(FILE* file)
{
    unsigned char magic[3] = {};
    const bool jpeg = std::fread(magic, 1, 3, file) == 3 && magic[0] == 0xFF && magic[1] == 0xD8 && magic[2] == 0xFF;
    std::rewind(file);
    return jpeg;
}

}  // namespace

ScaledJpeg::ScaledJpeg(const std::string& path)
    : m_file(std::fopen(path.c_str(), "rb"), std::fclose), m_state(std::make_unique<State>())
{
    if (!m_file || !StartsLikeJpeg(m_file.get())) return;
    jpeg_decompress_struct& info = m_state->info;
    info.err = jpeg_std_error(&m_state->manager);
    m_state->manager.error_exit = JumpBack;
    m_state->manager.emit_message = WarningsAreErrors;
    info.client_data = &m_state->jump;
    if (setjmp(m_state->jump)) return;
    jpeg_create_decompress(&info);
    m_state->created = true;
    jpeg_stdio_src(&info, m_file.get());
    jpeg_read_header(&info, TRUE);
    const J_COLOR_SPACE space = info.jpeg_color_space;
    m_valid = space == JCS_GRAYSCALE || space == JCS_YCbCr || space == JCS_RGB;
    m_fullWidth = static_cast<int>(info.image_width);
    m_fullHeight = static_cast<int>(info.image_height);
}

ScaledJpeg::~ScaledJpeg() = default;

bool ScaledJpeg::Decode(int minWidth, int minHeight, std::vector<uint8_t>& pixels, int& width, int& height)
{
    if (!m_valid) return false;
    jpeg_decompress_struct& info = m_state->info;
    if (setjmp(m_state->jump)) {
        m_refused = Gdiplus::JpegWorkRefused(info, m_state->budget);
        return false;
    }
    // The reduced scale saves the output, not the scans: every one still passes over all the blocks.
    Gdiplus::LimitJpegWork(info, m_state->budget);
    info.out_color_space = JCS_EXT_BGRX;
    info.scale_denom = 8;
    for (info.scale_num = 1; info.scale_num < 8; ++info.scale_num) {
        jpeg_calc_output_dimensions(&info);
        if (static_cast<int>(info.output_width) >= minWidth && static_cast<int>(info.output_height) >= minHeight) break;
    }
    jpeg_start_decompress(&info);
    width = static_cast<int>(info.output_width);
    height = static_cast<int>(info.output_height);
    const size_t stride = static_cast<size_t>(width) * 4;
    try {
        pixels.resize(stride * height);
    } catch (const std::bad_alloc&) {
        return false;
    }
    JSAMPROW rows[8];
    while (info.output_scanline < info.output_height) {
        JDIMENSION count = 0;
        for (; count < 8 && info.output_scanline + count < info.output_height; ++count)
            rows[count] = pixels.data() + stride * (info.output_scanline + count);
        jpeg_read_scanlines(&info, rows, count);
    }
    jpeg_finish_decompress(&info);
    return true;
}
