// Module handles and the resources a module carries (found by module, integer name and type).
// A module's resources are compiled into it (see pictor_add_resources) and registered when it loads.
#pragma once

#include "WinBool.h"
#include "WinTypes.h"

typedef WCHAR* LPWSTR;

// Integer resource names and types travel as small "pointers", as on Windows.
#define MAKEINTRESOURCEW(i) (reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define IS_INTRESOURCE(r) ((reinterpret_cast<ULONG_PTR>(r) >> 16) == 0)
#define RT_BITMAP MAKEINTRESOURCEW(2)
#define RT_RCDATA MAKEINTRESOURCEW(10)

#define GET_MODULE_HANDLE_EX_FLAG_PIN 0x00000001
#define GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT 0x00000002
#define GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS 0x00000004

// The program's module for a null name; otherwise the loaded module whose file name ends in the name.
HMODULE GetModuleHandleW(LPCWSTR moduleName);
// With GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, the module that holds the address given as the name.
BOOL GetModuleHandleExW(DWORD flags, LPCWSTR moduleName, HMODULE* phModule);

// Null when the module has no resource of that name and type. String types compare without case.
HRSRC FindResourceW(HMODULE hModule, LPCWSTR name, LPCWSTR type);
DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo);
HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo);
// The resource's bytes, read-only, valid while the module is loaded.
LPVOID LockResource(HGLOBAL hResData);

// Called by a module's generated resource table when it is loaded and unloaded. A bitmap resource
// (RT_BITMAP) holds a packed device-independent bitmap: the file's bytes after its 14-byte file header.
BOOL RegisterModuleResource(HMODULE hModule, LPCWSTR name, LPCWSTR type, const void* data, DWORD size);
void UnregisterModuleResource(HMODULE hModule, LPCWSTR name, LPCWSTR type);
