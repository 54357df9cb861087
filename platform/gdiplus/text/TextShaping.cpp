// Paragraphs shaped by HarfBuzz (TextShaping.h).
#include "TextShaping.h"

#include <memory>

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

struct BufferDeleter {
    void operator()(hb_buffer_t* buffer) const { hb_buffer_destroy(buffer); }
};

}  // namespace

bool ShapeParagraph(const TextFace& face, const char16_t* text, int length, float scale,
                    std::vector<ShapedGlyph>* glyphs)
{
    glyphs->clear();
    if (length <= 0) return true;
    if (!LaysOut(text, length)) return false;
    std::unique_ptr<hb_buffer_t, BufferDeleter> buffer(hb_buffer_create());
    hb_buffer_add_utf16(buffer.get(), reinterpret_cast<const uint16_t*>(text), length, 0, length);
    hb_buffer_set_direction(buffer.get(), HB_DIRECTION_LTR);
    hb_buffer_guess_segment_properties(buffer.get());
    hb_shape(face.Shaper(), buffer.get(), nullptr, 0);
    if (!hb_buffer_allocation_successful(buffer.get())) return false;
    unsigned count = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer.get(), &count);
    const hb_glyph_position_t* position = hb_buffer_get_glyph_positions(buffer.get(), &count);
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

}  // namespace Gdiplus
