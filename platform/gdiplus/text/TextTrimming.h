// The last visible line cut as GDI+'s StringTrimming cuts it when the text does not fit: at a character or
// a word, and for the ellipsis forms ended with "…" (U+2026), or with the middle of the line replaced by
// it, keeping as much of its last slash-delimited part as fits (EllipsisPath).
#pragma once

#include "../GdiplusTypes.h"
#include "TextLines.h"

namespace Gdiplus {

inline bool EndsWithEllipsis(StringTrimming trimming)
{
    return trimming == StringTrimmingEllipsisCharacter || trimming == StringTrimmingEllipsisWord ||
           trimming == StringTrimmingEllipsisPath;
}

// Cuts the line to at most `room` wide, an ellipsis `ellipsisWidth` wide included, by the trimming's
// ellipsis form; a line that fits already is left whole.
void TrimWithEllipsis(const Paragraph& p, StringTrimming trimming, float room, float ellipsisWidth, Line* line);

}  // namespace Gdiplus
