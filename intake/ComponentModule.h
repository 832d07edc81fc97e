#pragma once
// The loaded detection component: its library handle and its four exports.

#include <windows.h>

#include "intake/DetectionComponent.h"

inline constexpr HRESULT kComponentNotLoaded = static_cast<HRESULT>(0x82000001);
inline constexpr HRESULT kComponentExportMissing = static_cast<HRESULT>(0x82000002);

struct ComponentModule {
    HMODULE library;
    VxDllGetClassObjectFn getClassObject;
    VxDllGetClassCountFn getClassCount;
    VxDllGetClassInfoFn getClassInfo;
    VxDllCanUnloadNowFn canUnloadNow;
};

// Loads the library from the folder of the module holding this code, then
// from the folder of the process's main module, then by its bare name on the
// system search path; the first load wins. Then binds the exports in order,
// stopping at the first missing one. 0, kComponentNotLoaded or
// kComponentExportMissing.
HRESULT LoadComponentModule(ComponentModule& module,
                            const wchar_t* libraryName = kDetectionComponentName);

// Creates an object through VxDllGetClassObject; E_FAIL and a null object when
// that export is not bound.
HRESULT CreateComponentObject(const ComponentModule& module, REFCLSID classId, REFIID interfaceId,
                              void** object);

// Frees the library and clears the block.
void FreeComponentModule(ComponentModule& module);
