/* A DLL with the component's name and first export, built for the other
   architecture than the programs under test: a program cannot load it. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}

__declspec(dllexport) HRESULT WINAPI
    VxDllGetClassObject(REFCLSID classId, REFIID interfaceId, void** object) {
    (void)classId;
    (void)interfaceId;
    *object = NULL;
    return E_FAIL;
}
