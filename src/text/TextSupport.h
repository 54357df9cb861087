// What the text members share: the font they all build, and drawing under a passing transform.
#pragma once

#include <memory>

#include "FxPictor.h"

namespace pictor {

// The font of a family name, an em size in pixels and a style. An unknown family, or a font the family
// cannot make, falls back to the engine's generic sans-serif family. Never null; when even the fallback
// is unavailable the font is empty and drawing with it fails. Fonts are shared between calls.
std::shared_ptr<Gdiplus::Font> MakeTextFont(const CString& family, int emSize, int style);

// Draws the whole text laid out from (x, y): zero-size layout, no format, so nothing wraps or clips.
void DrawTextAt(Gdiplus::Graphics& graphics, const CString& text, const Gdiplus::Font& font, float x, float y,
                const Gdiplus::Brush& brush);

// Sets the matrix as the world transform, draws the text at (x, y), then leaves the identity behind
// (not the transform the canvas had before).
void DrawTextTransformed(Gdiplus::Graphics& graphics, Gdiplus::Matrix& matrix, const CString& text,
                         const Gdiplus::Font& font, float x, float y, const Gdiplus::Brush& brush);

// Upright text at the pivot when the angle is 90; each degree less turns it one degree further clockwise.
void DrawTextAboutPivot(Gdiplus::Graphics& graphics, const CString& text, const Gdiplus::Font& font, float angle,
                        int pivotX, int pivotY, const Gdiplus::Brush& brush);

}  // namespace pictor
