#include "Afx.h"
#include "AfxModule.h"

#include <cstdio>
#include <memory>
#include <vector>

#include "../win/Resources.h"
#include "../win/Utf.h"

namespace {

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
    if (utf8) m_text = Utf8ToUtf16(utf8);
}

CString::CString(std::string_view utf8) : m_text(Utf8ToUtf16(utf8)) {}

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
    if (wide) m_text = WideToUtf16(wide);
}

std::string CString::ToUtf8() const { return Utf16ToUtf8(m_text); }

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
    const std::string message = text ? Utf16ToUtf8(text) : std::string();
    std::fprintf(stderr, "%s\n", message.c_str());
    return IDOK;
}
