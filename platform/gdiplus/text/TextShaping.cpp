// Paragraphs shaped by HarfBuzz (TextShaping.h).
#include "TextShaping.h"

namespace Gdiplus {

namespace {

bool IsRightToLeft(char32_t c)
{
    return (c >= 0x0590 && c <= 0x08FF) || (c >= 0xFB1D && c <= 0xFDFF) || (c >= 0xFE70 && c <= 0xFEFF) ||
           (c >= 0x10800 && c <= 0x10FFF) || (c >= 0x1E800 && c <= 0x1EFFF) || c == 0x200F || c == 0x202B ||
           c == 0x202E || c == 0x2067;
}

// Characters GDI+ lays out by rules of its own (tabs, controls other than the NUL's stand-in) or with
// right-to-left ordering: the engine keeps them.
bool LaysOut(const char16_t* text, int length)
{
    for (int i = 0; i < length; ++i) {
        const char16_t unit = text[i];
        if (unit < 0x20 || (unit >= 0x7F && unit < 0xA0)) return false;
        char32_t c = unit;
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
        if (IsRightToLeft(c)) return false;
    }
    return true;
}

// A buffer for each thread, cleared for every paragraph rather than made anew.
struct ThreadBuffer {
    hb_buffer_t* buffer = hb_buffer_create();
    ~ThreadBuffer() { hb_buffer_destroy(buffer); }
};

constexpr unsigned kKeptBufferGlyphs = 1u << 16;

// The shaped glyphs scaled; false when one is missing from the face.
bool TakeGlyphs(hb_buffer_t* buffer, float scale, std::vector<ShapedGlyph>* glyphs)
{
    unsigned count = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* position = hb_buffer_get_glyph_positions(buffer, &count);
    glyphs->resize(count);
    for (unsigned i = 0; i < count; ++i) {
        if (info[i].codepoint == 0) return false;
        ShapedGlyph& glyph = (*glyphs)[i];
        glyph.glyph = info[i].codepoint;
        glyph.cluster = info[i].cluster;
        glyph.advance = float(position[i].x_advance) * scale;
        glyph.xOffset = float(position[i].x_offset) * scale;
        glyph.yOffset = -float(position[i].y_offset) * scale;
    }
    return true;
}

}  // namespace

bool ShapeParagraph(const TextFace& face, const char16_t* text, int length, float scale,
                    std::vector<ShapedGlyph>* glyphs)
{
    glyphs->clear();
    if (length <= 0) return true;
    if (!LaysOut(text, length)) return false;
    thread_local ThreadBuffer shaping;
    hb_buffer_t* buffer = shaping.buffer;
    hb_buffer_reset(buffer);
    hb_buffer_add_utf16(buffer, reinterpret_cast<const uint16_t*>(text), length, 0, length);
    hb_buffer_set_direction(buffer, HB_DIRECTION_LTR);
    hb_buffer_guess_segment_properties(buffer);
    hb_shape(face.Shaper(), buffer, nullptr, 0);
    const bool drawn = hb_buffer_allocation_successful(buffer) && TakeGlyphs(buffer, scale, glyphs);
    // A paragraph of a million characters leaves no buffer of its size behind.
    if (hb_buffer_get_length(buffer) > kKeptBufferGlyphs) {
        hb_buffer_destroy(buffer);
        shaping.buffer = hb_buffer_create();
    }
    return drawn;
}

}  // namespace Gdiplus
