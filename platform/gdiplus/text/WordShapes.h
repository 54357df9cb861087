// Words shaped once and kept for every thread. A left-to-right run in a face whose lookups for its script
// never reach the space glyph shapes, word by word, into the glyphs HarfBuzz gives for the whole run: no
// substitution, kerning or attachment crosses a space. Strings that differ share most of their words, so
// most words are found rather than shaped. The cache is split in shards, each under a shared_mutex and
// bounded in bytes; a shard that would grow past its share lets its words go.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include <hb.h>

namespace Gdiplus {

class TextFace;

// A glyph of a word as HarfBuzz shaped it alone: design units, its cluster counted from the word's start.
struct WordGlyph {
    uint32_t glyph = 0, cluster = 0;
    int32_t advance = 0, xOffset = 0, yOffset = 0;
};

// The most bytes the word cache holds, over all its shards.
constexpr size_t kWordCacheBytes = size_t(2) << 20;
// Longer words are shaped every time, never kept.
constexpr int kLongestCachedWord = 48;

// Whether runs of the script in the face, left to right, may be shaped word by word: the script's shaper
// uses no context beyond the run, and neither the face's lookups for the script nor its kerning table
// touch the space glyph. Worked out once per face and script.
bool ShapesWordByWord(const TextFace& face, hb_script_t script);

// The word's glyphs in the face and script, appended to `glyphs`, when the cache holds them.
bool FindWord(const TextFace& face, hb_script_t script, const char16_t* word, int length,
              std::vector<WordGlyph>* glyphs);

// Keeps the word's glyphs for the next FindWord.
void KeepWord(const TextFace& face, hb_script_t script, const char16_t* word, int length, const WordGlyph* glyphs,
              size_t count);

// The bytes the word cache holds now.
size_t WordCacheBytes();

}  // namespace Gdiplus
