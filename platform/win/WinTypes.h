// Windows base types and handles used at the library's interface.
#pragma once

#include <cstddef>
#include <cstdint>

typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef uint32_t UINT;
typedef uint32_t UINT32;
typedef int32_t INT;
typedef uintptr_t ULONG_PTR;
typedef intptr_t LONG_PTR;
typedef uint16_t LANGID;
// GDI+ and Windows strings are UTF-16.
typedef char16_t WCHAR;
typedef const WCHAR* LPCWSTR;
typedef void* LPVOID;
typedef void* HANDLE;
typedef HANDLE HGLOBAL;
typedef unsigned long long ULONGLONG;

// BOOL itself is in WinBool.h, apart: <X11/Xmd.h> declares a BOOL of its own.
#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

// Opaque handle types, distinct so that they cannot be mixed up.
struct HWND__;
struct HDC__;
struct HINSTANCE__;
struct HBITMAP__;
struct HPALETTE__;
struct HRSRC__;
typedef HWND__* HWND;
typedef HDC__* HDC;
typedef HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef HBITMAP__* HBITMAP;
typedef HPALETTE__* HPALETTE;
typedef HRSRC__* HRSRC;

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
typedef GUID CLSID;
typedef GUID IID;

inline bool operator==(const GUID& a, const GUID& b)
{
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
    for (int i = 0; i < 8; ++i)
        if (a.Data4[i] != b.Data4[i]) return false;
    return true;
}

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT;

typedef struct tagRGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
} RGBQUAD;

typedef struct tagBITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
} BITMAPINFOHEADER;

typedef struct tagBITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
} BITMAPINFO;

#define BI_RGB 0L

// Module notifications handed to a module's entry point.
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3
