// Module start-up and shutdown: GDI+ is started when the library is loaded and stopped when it is
// unloaded, and the library registers itself as an extension module in between.
#include "FxPictor.h"
#include "mfc/AfxModule.h"

namespace {

ULONG_PTR g_gdiplusToken = 0;
AFX_EXTENSION_MODULE g_pictorModule;

// Stands for the module's instance handle: any address inside the library names it.
HINSTANCE ModuleInstance() { return reinterpret_cast<HINSTANCE>(&g_pictorModule); }

}  // namespace

extern "C" int DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH) {
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&g_gdiplusToken, &input, nullptr) != Gdiplus::Ok)
            AfxMessageBox(CString("GDI+ 라이브러리 초기화 실패"), 0, 0);
        if (!AfxInitExtensionModule(g_pictorModule, hInstance)) return 0;
        // The module chain keeps the link until the module is terminated.
        new CDynLinkLibrary(g_pictorModule, FALSE);
    } else if (dwReason == DLL_PROCESS_DETACH) {
        AfxTermExtensionModule(g_pictorModule, FALSE);
        Gdiplus::GdiplusShutdown(g_gdiplusToken);
    }
    return 1;
}

// The shared library's load and unload notifications.
__attribute__((constructor)) static void PictorAttach() { DllMain(ModuleInstance(), DLL_PROCESS_ATTACH, nullptr); }

__attribute__((destructor)) static void PictorDetach() { DllMain(ModuleInstance(), DLL_PROCESS_DETACH, nullptr); }
