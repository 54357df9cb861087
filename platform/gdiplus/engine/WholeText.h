// libgdiplus reads a string only up to its first NUL, whatever length it is given, while GDI+ lays out every
// character of that length. The text is handed on with each NUL inside the length turned into a word
// joiner, which has no glyph, no width and no line break, as GDI+ shows a NUL.
#pragma once

#include <algorithm>
#include <string>

#include "../GdiplusTypes.h"

namespace Gdiplus {

class WholeText {
public:
    WholeText(const WCHAR* text, INT length) : text(text)
    {
        if (!text || length <= 0 || std::find(text, text + length, u'\0') == text + length) return;
        copy.assign(text, static_cast<size_t>(length));
        std::replace(copy.begin(), copy.end(), u'\0', kWordJoiner);
        this->text = copy.c_str();
    }
    const WCHAR* Get() const { return text; }

private:
    static constexpr WCHAR kWordJoiner = u'\u2060';
    const WCHAR* text;
    std::u16string copy;
};

}  // namespace Gdiplus
