// Paragraphs shaped by HarfBuzz (TextShaping.h).
#include "TextShaping.h"

#include <algorithm>

#include "TextCoverage.h"
#include "WordShapes.h"

namespace Gdiplus {

namespace {

// Controls never reach shaping: the layout turns hidden ones into word joiners and tabs into spaces, and
// splits lines at line breaks; one that did would be refused.
bool LaysOut(const char16_t* text, int length)
{
    for (int i = 0; i < length; ++i) {
        const char16_t unit = text[i];
        if (unit < 0x20 || (unit >= 0x7F && unit < 0xA0)) return false;
    }
    return true;
}

// A buffer for each thread, cleared for every paragraph rather than made anew.
struct ThreadBuffer {
    hb_buffer_t* buffer = hb_buffer_create();
    ~ThreadBuffer() { hb_buffer_destroy(buffer); }
};

constexpr unsigned kKeptBufferGlyphs = 1u << 16;

// The shaped glyphs of a run set upright, appended: each advances down the line by its vertical advance,
// its origin offset from the line's middle.
bool TakeUprightGlyphs(hb_buffer_t* buffer, const TextFace& face, float scale, std::vector<ShapedGlyph>* glyphs)
{
    unsigned count = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* position = hb_buffer_get_glyph_positions(buffer, &count);
    for (unsigned i = 0; i < count; ++i) {
        ShapedGlyph glyph{&face,
                          info[i].codepoint,
                          info[i].cluster,
                          -float(position[i].y_advance) * scale,
                          -float(position[i].y_offset) * scale,
                          -float(position[i].x_offset) * scale,
                          0};
        glyph.upright = true;
        glyphs->push_back(glyph);
    }
    return true;
}

// The shaped glyphs of the face scaled, appended in logical order.
bool TakeGlyphs(hb_buffer_t* buffer, const TextFace& face, float scale, uint8_t level, std::vector<ShapedGlyph>* glyphs)
{
    const size_t first = glyphs->size();
    unsigned count = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* position = hb_buffer_get_glyph_positions(buffer, &count);
    for (unsigned i = 0; i < count; ++i) {
        glyphs->push_back({&face, info[i].codepoint, info[i].cluster, float(position[i].x_advance) * scale,
                           float(position[i].x_offset) * scale, -float(position[i].y_offset) * scale, level});
    }
    // HarfBuzz gives a right-to-left run in visual order.
    if (level & 1) std::reverse(glyphs->begin() + std::ptrdiff_t(first), glyphs->end());
    return true;
}

// The thread's buffer cleared, or made anew after a paragraph of a million characters, which leaves no
// buffer of its size behind.
hb_buffer_t* ClearedBuffer()
{
    thread_local ThreadBuffer shaping;
    if (hb_buffer_get_length(shaping.buffer) > kKeptBufferGlyphs) {
        hb_buffer_destroy(shaping.buffer);
        shaping.buffer = hb_buffer_create();
    }
    hb_buffer_reset(shaping.buffer);
    return shaping.buffer;
}

// The characters [start, start + count) of the paragraph shaped in the face as one, appended; upright
// runs of vertical text are shaped top to bottom.
bool ShapeWhole(const TextFace& face, const char16_t* text, int length, int start, int count, uint8_t level,
                float emSize, std::vector<ShapedGlyph>* glyphs, bool upright)
{
    hb_buffer_t* buffer = ClearedBuffer();
    // The whole paragraph is the context: clusters count from its start.
    hb_buffer_add_utf16(buffer, reinterpret_cast<const uint16_t*>(text), length, unsigned(start), count);
    hb_buffer_set_direction(buffer, upright ? HB_DIRECTION_TTB : level & 1 ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
    hb_buffer_guess_segment_properties(buffer);
    hb_shape(face.Shaper(), buffer, nullptr, 0);
    const float scale = emSize / float(face.UnitsPerEm());
    return hb_buffer_allocation_successful(buffer) &&
           (upright ? TakeUprightGlyphs(buffer, face, scale, glyphs) : TakeGlyphs(buffer, face, scale, level, glyphs));
}

char32_t CodePointAt(const char16_t* text, int length, int i, int* units);
bool FollowsItsBase(char32_t c);

// The script HarfBuzz guesses for a run: that of its first character of a script of its own.
hb_script_t ScriptOfRun(const char16_t* text, int count)
{
    hb_unicode_funcs_t* unicode = hb_unicode_funcs_get_default();
    for (int i = 0, units = 1; i < count; i += units) {
        const hb_script_t script = hb_unicode_script(unicode, CodePointAt(text, count, i, &units));
        if (script != HB_SCRIPT_COMMON && script != HB_SCRIPT_INHERITED && script != HB_SCRIPT_UNKNOWN) return script;
    }
    return HB_SCRIPT_INVALID;
}

// The word shaped alone in the script, its glyphs appended; false when one is missing.
bool ShapeWord(const TextFace& face, hb_script_t script, const char16_t* word, int length,
               std::vector<WordGlyph>* glyphs)
{
    hb_buffer_t* buffer = ClearedBuffer();
    hb_buffer_add_utf16(buffer, reinterpret_cast<const uint16_t*>(word), length, 0, length);
    hb_buffer_set_direction(buffer, HB_DIRECTION_LTR);
    hb_buffer_set_script(buffer, script);
    hb_buffer_guess_segment_properties(buffer);
    hb_shape(face.Shaper(), buffer, nullptr, 0);
    if (!hb_buffer_allocation_successful(buffer)) return false;
    unsigned count = 0;
    const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* position = hb_buffer_get_glyph_positions(buffer, &count);
    for (unsigned i = 0; i < count; ++i) {
        if (info[i].codepoint == 0) return false;
        glyphs->push_back(
            {info[i].codepoint, info[i].cluster, position[i].x_advance, position[i].x_offset, position[i].y_offset});
    }
    return true;
}

// Where the word starting at `from` ends: past its spaces, and past any word that starts with a mark,
// which stays with the character before it.
int WordEnd(const char16_t* text, int from, int end)
{
    int to = from;
    do {
        while (to < end && text[to] != u' ') ++to;
        while (to < end && text[to] == u' ') ++to;
        int units = 1;
        if (to == end || !FollowsItsBase(CodePointAt(text, end, to, &units))) return to;
    } while (true);
}

// Empties the list; one that held a word of a million characters is let go rather than kept.
void ReleaseIfLarge(std::vector<WordGlyph>* word)
{
    if (word->capacity() > kKeptBufferGlyphs)
        std::vector<WordGlyph>().swap(*word);
    else
        word->clear();
}

// A left-to-right run shaped word by word, each word found in the cache or shaped and kept.
bool ShapeWords(const TextFace& face, hb_script_t script, const char16_t* text, int start, int count, uint8_t level,
                float emSize, std::vector<ShapedGlyph>* glyphs)
{
    thread_local std::vector<WordGlyph> word;
    const float scale = emSize / float(face.UnitsPerEm());
    for (int from = start, to = start; from < start + count; from = to) {
        to = WordEnd(text, from, start + count);
        ReleaseIfLarge(&word);
        if (!FindWord(face, script, text + from, to - from, &word)) {
            if (!ShapeWord(face, script, text + from, to - from, &word)) return false;
            KeepWord(face, script, text + from, to - from, word.data(), word.size());
        }
        for (const WordGlyph& g : word)
            glyphs->push_back({&face, g.glyph, uint32_t(from) + g.cluster, float(g.advance) * scale,
                               float(g.xOffset) * scale, -float(g.yOffset) * scale, level});
    }
    ReleaseIfLarge(&word);
    return true;
}

// The characters [start, start + count) of the paragraph shaped in the face, appended: word by word
// where that gives the same glyphs (WordShapes.h), else as one. A word with a glyph the face lacks is
// shaped with its run, which keeps the missing-glyph box where the layout put it.
bool ShapeRun(const TextFace& face, const char16_t* text, int length, int start, int count, uint8_t level, float emSize,
              std::vector<ShapedGlyph>* glyphs, bool upright = false)
{
    if (!(level & 1) && !upright) {
        const hb_script_t script = ScriptOfRun(text + start, count);
        const size_t before = glyphs->size();
        if (ShapesWordByWord(face, script) && ShapeWords(face, script, text, start, count, level, emSize, glyphs))
            return true;
        glyphs->resize(before);
    }
    return ShapeWhole(face, text, length, start, count, level, emSize, glyphs, upright);
}

char32_t CodePointAt(const char16_t* text, int length, int i, int* units)
{
    const char16_t unit = text[i];
    *units = 1;
    if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
        *units = 2;
        return 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
    }
    return unit;
}

// Marks and joiners go with the character before them, whichever face draws it.
bool FollowsItsBase(char32_t c)
{
    const hb_unicode_general_category_t category = hb_unicode_general_category(hb_unicode_funcs_get_default(), c);
    return category == HB_UNICODE_GENERAL_CATEGORY_NON_SPACING_MARK ||
           category == HB_UNICODE_GENERAL_CATEGORY_SPACING_MARK ||
           category == HB_UNICODE_GENERAL_CATEGORY_ENCLOSING_MARK || category == HB_UNICODE_GENERAL_CATEGORY_FORMAT ||
           (c >= 0xFE00 && c <= 0xFE0F);
}

}  // namespace

bool SetsUpright(char32_t c)
{
    return (c >= 0x1100 && c <= 0x11FF) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7AF) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFFEF) ||
           (c >= 0x20000 && c <= 0x3FFFF);
}

bool ShapeParagraph(const LayerFont& font, const char16_t* text, int length, const uint8_t* levels, float emSize,
                    std::vector<ShapedGlyph>* glyphs, std::vector<std::shared_ptr<TextFace>>* faces,
                    ShapingOptions options)
{
    glyphs->clear();
    if (length <= 0) return true;
    if (!LaysOut(text, length)) return false;
    const TextFace* primary = font.face.get();
    const TextFace* runFace = nullptr;
    int runStart = 0;
    uint8_t runLevel = levels ? levels[0] : 0;
    bool runUpright = false;
    for (int i = 0, units = 1; i < length; i += units) {
        const char32_t c = CodePointAt(text, length, i, &units);
        hb_codepoint_t glyph = 0;
        const TextFace* face = primary;
        bool upright = options.vertical && SetsUpright(c);
        if (FollowsItsBase(c)) {
            face = runFace ? runFace : primary;
            upright = runUpright;
        } else if (hb_font_get_nominal_glyph(primary->Shaper(), c, &glyph)) {
            // The font's own face has it.
        } else if (runFace && runFace != primary && options.fallBack &&
                   hb_font_get_nominal_glyph(runFace->Shaper(), c, &glyph)) {
            // The run's face falling back already has it (as pango keeps a run's font): no look-up.
            face = runFace;
        } else {
            // A character no installed face has stays in the font's face: its missing-glyph box (GDI+).
            std::shared_ptr<TextFace> fallback =
                options.fallBack && AnyFaceHas(c) ? FallbackFace(font.family, font.style, c) : nullptr;
            if (fallback) {
                face = fallback.get();
                if (std::find(faces->begin(), faces->end(), fallback) == faces->end()) faces->push_back(fallback);
            }
        }
        const uint8_t level = levels ? levels[i] : 0;
        if (face == runFace && level == runLevel && upright == runUpright) continue;
        if (runFace && !ShapeRun(*runFace, text, length, runStart, i - runStart, runLevel, emSize, glyphs, runUpright))
            return false;
        runFace = face;
        runStart = i;
        runLevel = level;
        runUpright = upright;
    }
    return ShapeRun(*runFace, text, length, runStart, length - runStart, runLevel, emSize, glyphs, runUpright);
}

}  // namespace Gdiplus
