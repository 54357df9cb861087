// The MFC value types and services the library speaks at its interface.
#pragma once

#include <string>
#include <string_view>

#include "../win/WinTypes.h"

// A counted UTF-16 string. Built from UTF-8 (char, std::string, std::string_view), UTF-16 (char16_t) or
// wide (wchar_t) text; malformed UTF-8 or wide text becomes U+FFFD.
class CString {
public:
    CString() = default;
    CString(const char* utf8);
    CString(std::string_view utf8);
    CString(const std::string& utf8) : CString(std::string_view(utf8)) {}
    CString(const char16_t* utf16);
    CString(const char16_t* utf16, int length);
    CString(const wchar_t* wide);
    CString(const std::u16string& utf16) : m_text(utf16) {}

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    const WCHAR* GetString() const { return m_text.c_str(); }
    operator const WCHAR*() const { return m_text.c_str(); }
    std::string ToUtf8() const;

    CString& operator+=(const CString& other)
    {
        m_text += other.m_text;
        return *this;
    }
    bool operator==(const CString& other) const { return m_text == other.m_text; }

private:
    std::u16string m_text;
};

struct tagSIZE {
    LONG cx;
    LONG cy;
};

class CSize : public tagSIZE {
public:
    CSize() : tagSIZE{0, 0} {}
    CSize(int x, int y) : tagSIZE{x, y} {}
    bool operator==(const CSize& other) const { return cx == other.cx && cy == other.cy; }
};

class CRect : public tagRECT {
public:
    CRect() : tagRECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) : tagRECT{l, t, r, b} {}
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const CRect& other) const
    {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

// A device context: only its output handle is used for drawing.
class CDC {
public:
    CDC() = default;
    explicit CDC(HDC hdc) : m_hDC(hdc), m_hAttribDC(hdc) {}
    HDC GetSafeHdc() const { return m_hDC; }
    HDC m_hDC = nullptr;
    HDC m_hAttribDC = nullptr;
};

struct AFX_MODULE_STATE {
    HINSTANCE m_hCurrentInstanceHandle = nullptr;
    HINSTANCE m_hCurrentResourceHandle = nullptr;
    int m_nLinkedLibraries = 0;
};

AFX_MODULE_STATE* AfxGetModuleState();

#define MB_OK 0x00000000L
#define IDOK 1

// Shows a message; on this platform the text goes to standard error.
int AfxMessageBox(const WCHAR* text, UINT type = MB_OK, UINT helpContext = 0);
