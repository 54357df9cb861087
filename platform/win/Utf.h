// Conversions between the library's UTF-16 strings and UTF-8 (and the 32-bit wchar_t of this platform),
// the one converter of the platform layer. Malformed input (a stray or truncated byte sequence, an
// overlong form, an encoded surrogate, a lone surrogate, a value past U+10FFFF) becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);
std::u16string WideToUtf16(std::wstring_view wide);
