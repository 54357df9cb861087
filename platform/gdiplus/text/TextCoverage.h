// Which characters any installed scalable face has, known from fontconfig's font list once per process,
// so that a character no face has is drawn at once as the font's missing-glyph box rather than looked
// for face by face.
#pragma once

namespace Gdiplus {

// Whether an installed scalable face has the character (true when fontconfig's list cannot be read, so
// that each character is then looked for as before).
bool AnyFaceHas(char32_t character);

}  // namespace Gdiplus
