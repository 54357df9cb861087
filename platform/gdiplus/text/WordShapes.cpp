// Words shaped once for every thread (WordShapes.h).
#include "WordShapes.h"

#include <hb-ot.h>

#include <array>
#include <atomic>
#include <map>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <unordered_map>

#include "TextFaces.h"

namespace Gdiplus {

namespace {

constexpr size_t kShards = 16;
constexpr size_t kShardBytes = kWordCacheBytes / kShards;
// What a kept word costs besides its text and glyphs: its entry and the bookkeeping of both.
constexpr size_t kEntryBytes = 128;
// The (face, script) answers kept at most; faces open and close, so the list is emptied past this.
constexpr size_t kKeptAnswers = 256;

// Scripts whose HarfBuzz shaper looks at nothing outside the run (Arabic's joining, Indic syllables and the
// like do): the default shaper's and Hangul's. A run with no letter of any script has none.
bool ShapedWithoutContext(hb_script_t script)
{
    switch (script) {
    case HB_SCRIPT_INVALID:
    case HB_SCRIPT_LATIN:
    case HB_SCRIPT_GREEK:
    case HB_SCRIPT_CYRILLIC:
    case HB_SCRIPT_HANGUL:
    case HB_SCRIPT_HAN:
    case HB_SCRIPT_HIRAGANA:
    case HB_SCRIPT_KATAKANA:
        return true;
    default:
        return false;
    }
}

uint16_t BigEndian16(const char* bytes) { return uint16_t(uint16_t(uint8_t(bytes[0])) << 8 | uint8_t(bytes[1])); }

// Whether the face's 'kern' table (which HarfBuzz applies when GPOS does not kern the script) holds a pair with the
// glyph. Tables other than the plain OpenType form are taken to hold one.
bool KerningTouches(hb_face_t* face, hb_codepoint_t glyph)
{
    hb_blob_t* blob = hb_face_reference_table(face, HB_TAG('k', 'e', 'r', 'n'));
    unsigned size = 0;
    const char* data = hb_blob_get_data(blob, &size);
    bool touches = false;
    if (size >= 4) {
        touches = BigEndian16(data) != 0;
        const unsigned tables = BigEndian16(data + 2);
        size_t at = 4;
        for (unsigned t = 0; t < tables && !touches; ++t) {
            if (at + 14 > size) break;
            const unsigned length = BigEndian16(data + at + 2), format = BigEndian16(data + at + 4) >> 8;
            const size_t pairs = BigEndian16(data + at + 6);
            if (format != 0 || 14 + pairs * 6 > length) {
                touches = true;
                break;
            }
            for (size_t p = 0; p < pairs && at + 14 + p * 6 + 4 <= size; ++p) {
                const char* pair = data + at + 14 + p * 6;
                if (BigEndian16(pair) == glyph || BigEndian16(pair + 2) == glyph) touches = true;
            }
            at += length;
        }
    }
    hb_blob_destroy(blob);
    return touches;
}

// Whether any of the face's tables HarfBuzz would shape with outside OpenType layout is there.
bool HasAppleLayout(hb_face_t* face)
{
    for (hb_tag_t tag : {HB_TAG('m', 'o', 'r', 'x'), HB_TAG('m', 'o', 'r', 't'), HB_TAG('k', 'e', 'r', 'x'),
                         HB_TAG('t', 'r', 'a', 'k')}) {
        hb_blob_t* blob = hb_face_reference_table(face, tag);
        const bool present = hb_blob_get_length(blob) > 0;
        hb_blob_destroy(blob);
        if (present) return true;
    }
    return false;
}

// Whether a lookup the script's shaping plan applies in the face reaches the glyph.
bool LookupsTouch(hb_face_t* face, hb_script_t script, hb_codepoint_t glyph)
{
    hb_segment_properties_t properties = HB_SEGMENT_PROPERTIES_DEFAULT;
    properties.direction = HB_DIRECTION_LTR;
    properties.script = script;
    properties.language = hb_language_get_default();
    hb_shape_plan_t* plan = hb_shape_plan_create_cached(face, &properties, nullptr, 0, nullptr);
    hb_set_t* lookups = hb_set_create();
    hb_set_t* glyphs = hb_set_create();
    bool touches = !hb_set_allocation_successful(lookups) || !hb_set_allocation_successful(glyphs);
    for (hb_tag_t table : {HB_OT_TAG_GSUB, HB_OT_TAG_GPOS}) {
        hb_set_clear(lookups);
        hb_ot_shape_plan_collect_lookups(plan, table, lookups);
        for (hb_codepoint_t lookup = HB_SET_VALUE_INVALID; !touches && hb_set_next(lookups, &lookup);) {
            hb_set_clear(glyphs);
            hb_ot_layout_lookup_collect_glyphs(face, table, lookup, glyphs, glyphs, glyphs, glyphs);
            touches = hb_set_has(glyphs, glyph) || !hb_set_allocation_successful(glyphs);
        }
    }
    hb_set_destroy(glyphs);
    hb_set_destroy(lookups);
    hb_shape_plan_destroy(plan);
    return touches;
}

bool WorkOutWordByWord(const TextFace& face, hb_script_t script)
{
    hb_face_t* shaping = hb_font_get_face(face.Shaper());
    hb_codepoint_t space = 0;
    if (!ShapedWithoutContext(script) || !hb_font_get_nominal_glyph(face.Shaper(), U' ', &space)) return false;
    return !HasAppleLayout(shaping) && !LookupsTouch(shaping, script, space) && !KerningTouches(shaping, space);
}

struct Shard {
    std::shared_mutex lock;
    std::unordered_map<std::u16string, std::vector<WordGlyph>> words;
    size_t bytes = 0;
};

std::array<Shard, kShards>& Shards()
{
    // Kept for the life of the process, as threads may draw text while it ends.
    static auto* shards = new std::array<Shard, kShards>;
    return *shards;
}

std::atomic<size_t> heldBytes{0};

// The face's number and the script ahead of the word's text, in the thread's own key.
const std::u16string& KeyOf(const TextFace& face, hb_script_t script, const char16_t* word, int length)
{
    thread_local std::u16string key;
    const uint32_t id = face.Id(), tag = uint32_t(script);
    key.assign({char16_t(id), char16_t(id >> 16), char16_t(tag), char16_t(tag >> 16)});
    key.append(word, size_t(length));
    return key;
}

Shard& ShardOf(const std::u16string& key)
{
    return Shards()[(std::hash<std::u16string>{}(key)*0x9E3779B97F4A7C15ull) >> 60];
}

}  // namespace

bool ShapesWordByWord(const TextFace& face, hb_script_t script)
{
    static std::shared_mutex lock;
    static auto* answers = new std::map<std::pair<uint32_t, uint32_t>, bool>;
    const auto key = std::make_pair(face.Id(), uint32_t(script));
    {
        const std::shared_lock<std::shared_mutex> reading(lock);
        if (auto found = answers->find(key); found != answers->end()) return found->second;
    }
    const bool answer = WorkOutWordByWord(face, script);
    const std::unique_lock<std::shared_mutex> writing(lock);
    if (answers->size() >= kKeptAnswers) answers->clear();
    answers->emplace(key, answer);
    return answer;
}

bool FindWord(const TextFace& face, hb_script_t script, const char16_t* word, int length,
              std::vector<WordGlyph>* glyphs)
{
    if (length > kLongestCachedWord) return false;
    const std::u16string& key = KeyOf(face, script, word, length);
    Shard& shard = ShardOf(key);
    const std::shared_lock<std::shared_mutex> reading(shard.lock);
    const auto found = shard.words.find(key);
    if (found == shard.words.end()) return false;
    glyphs->insert(glyphs->end(), found->second.begin(), found->second.end());
    return true;
}

void KeepWord(const TextFace& face, hb_script_t script, const char16_t* word, int length, const WordGlyph* glyphs,
              size_t count)
{
    if (length > kLongestCachedWord) return;
    const std::u16string& key = KeyOf(face, script, word, length);
    const size_t cost = key.size() * sizeof(char16_t) + count * sizeof(WordGlyph) + kEntryBytes;
    Shard& shard = ShardOf(key);
    const std::unique_lock<std::shared_mutex> writing(shard.lock);
    if (shard.bytes + cost > kShardBytes) {
        heldBytes -= shard.bytes;
        shard.words.clear();
        shard.bytes = 0;
    }
    if (shard.words.emplace(key, std::vector<WordGlyph>(glyphs, glyphs + count)).second) {
        shard.bytes += cost;
        heldBytes += cost;
    }
}

size_t WordCacheBytes() { return heldBytes.load(); }

}  // namespace Gdiplus
