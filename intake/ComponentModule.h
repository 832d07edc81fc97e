#pragma once
// The loaded detection component: its library handle and its four exports,
// and, when it cannot be loaded, what the search found, for the user.

#include <cstdint>
#include <string>

#include <windows.h>

#include "intake/DetectionComponent.h"

inline constexpr HRESULT kComponentNotLoaded = static_cast<HRESULT>(0x82000001);
inline constexpr HRESULT kComponentExportMissing = static_cast<HRESULT>(0x82000002);
// The library loaded but did not make one of its two objects.
inline constexpr HRESULT kComponentObjectMissing = static_cast<HRESULT>(0x82000003);

struct ComponentModule {
    HMODULE library;
    VxDllGetClassObjectFn getClassObject;
    VxDllGetClassCountFn getClassCount;
    VxDllGetClassInfoFn getClassInfo;
    VxDllCanUnloadNowFn canUnloadNow;
};

// Why the component is not there to use.
struct ComponentLoadFailure {
    HRESULT result = S_OK; // kComponentNotLoaded, kComponentExportMissing, kComponentObjectMissing
    std::wstring name;     // the library's file name
    std::wstring folder;   // the folder searched first (the program's own)
    std::wstring path;     // the file that was found but failed; empty when none was found
    DWORD error = 0;       // the system's error for `path` (ERROR_MOD_NOT_FOUND: none found)
    std::uint16_t machine = 0; // the machine type in `path`'s headers (0: not a PE file)
    std::string missing;       // the export or object that is missing
};

// Loads the library from the folder of the module holding this code, then
// from the folder of the process's main module, then by its bare name on the
// system search path; the first load wins. A name with a folder in it is
// loaded from there only. Then binds the exports in order, stopping at the
// first missing one. 0, kComponentNotLoaded or kComponentExportMissing.
// `failure` (when given) receives the name and the folder searched first,
// and on failure what was found.
HRESULT LoadComponentModule(ComponentModule& module,
                            const wchar_t* libraryName = kDetectionComponentName,
                            ComponentLoadFailure* failure = nullptr);

// Creates an object through VxDllGetClassObject; E_FAIL and a null object when
// that export is not bound.
HRESULT CreateComponentObject(const ComponentModule& module, REFCLSID classId, REFIID interfaceId,
                              void** object);

// Frees the library and clears the block.
void FreeComponentModule(ComponentModule& module);
