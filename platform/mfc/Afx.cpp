#include "Afx.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "../win/Resources.h"

namespace {

void AppendUtf16(std::u16string& out, char32_t cp)
{
    if (cp < 0x10000) {
        out.push_back(static_cast<char16_t>(cp));
    } else {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    }
}

// Decodes one UTF-8 sequence starting at s; malformed bytes become U+FFFD.
char32_t DecodeUtf8(const unsigned char*& s)
{
    unsigned char c = *s++;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    if (c >= 0x80 && extra == 0) return 0xFFFD;
    char32_t cp = extra == 0 ? c : (c & (0x3F >> extra));
    for (int i = 0; i < extra; ++i) {
        if ((*s & 0xC0) != 0x80) return 0xFFFD;
        cp = (cp << 6) | (*s++ & 0x3F);
    }
    return cp;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

std::string Utf16ToUtf8(const char16_t* s, size_t n)
{
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        char32_t cp = s[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

// The chain of linked extension modules, kept until the module is terminated. It is never destroyed
// itself, because modules are terminated from unload notifications after static destructors may have run.
std::vector<std::unique_ptr<CDynLinkLibrary>>& LinkedLibraries()
{
    static auto* libraries = new std::vector<std::unique_ptr<CDynLinkLibrary>>();
    return *libraries;
}

}  // namespace

CString::CString(const char* utf8)
{
    if (!utf8) return;
    const unsigned char* s = reinterpret_cast<const unsigned char*>(utf8);
    while (*s) AppendUtf16(m_text, DecodeUtf8(s));
}

CString::CString(const char16_t* utf16)
{
    if (utf16) m_text = utf16;
}

CString::CString(const char16_t* utf16, int length)
{
    if (utf16 && length > 0) m_text.assign(utf16, static_cast<size_t>(length));
}

CString::CString(const wchar_t* wide)
{
    if (!wide) return;
    for (; *wide; ++wide) AppendUtf16(m_text, static_cast<char32_t>(*wide));
}

std::string CString::ToUtf8() const { return Utf16ToUtf8(m_text.data(), m_text.size()); }

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule)
{
    if (state.bInitialized) return TRUE;
    state.hModule = hModule;
    state.hResource = hModule;
    state.bInitialized = TRUE;
    return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL)
{
    if (!state.bInitialized) return;
    auto& libraries = LinkedLibraries();
    for (auto it = libraries.begin(); it != libraries.end();) {
        if ((*it)->m_hModule == state.hModule)
            it = libraries.erase(it);
        else
            ++it;
    }
    state.bInitialized = FALSE;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem)
    : m_hModule(state.hModule), m_hResource(state.hResource), m_bSystem(bSystem)
{
    LinkedLibraries().emplace_back(this);
    AfxGetModuleState()->m_nLinkedLibraries++;
}

CDynLinkLibrary::~CDynLinkLibrary() { AfxGetModuleState()->m_nLinkedLibraries--; }

AFX_MODULE_STATE* AfxGetModuleState()
{
    // The application's own module, whose resources the application reads, as its start-up records it.
    static AFX_MODULE_STATE state = [] {
        AFX_MODULE_STATE made;
        made.m_hCurrentInstanceHandle = GetModuleHandleW(nullptr);
        made.m_hCurrentResourceHandle = made.m_hCurrentInstanceHandle;
        return made;
    }();
    return &state;
}

int AfxMessageBox(const WCHAR* text, UINT, UINT)
{
    std::string message = text ? Utf16ToUtf8(text, std::char_traits<char16_t>::length(text)) : std::string();
    std::fprintf(stderr, "%s\n", message.c_str());
    return IDOK;
}
