#include "intake/ComponentModule.h"

#include <cstring>

#include "common/ModulePath.h"

namespace {

HMODULE LoadFrom(const std::wstring& folder, const wchar_t* libraryName) {
    if (folder.empty())
        return nullptr;
    const std::wstring path = folder + libraryName;
    return LoadLibraryW(path.c_str());
}

template <typename Fn> bool Bind(HMODULE library, const char* name, Fn& slot) {
    slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    return slot != nullptr;
}

} // namespace

HRESULT LoadComponentModule(ComponentModule& module, const wchar_t* libraryName) {
    std::memset(&module, 0, sizeof module);
    HMODULE library = LoadFrom(GetModuleFolder(GetCurrentModule()), libraryName);
    if (!library)
        library = LoadFrom(GetModuleFolder(nullptr), libraryName);
    if (!library)
        library = LoadLibraryW(libraryName);
    if (!library)
        return kComponentNotLoaded;
    module.library = library;
    if (!Bind(library, "VxDllGetClassObject", module.getClassObject) ||
        !Bind(library, "VxDllGetClassCount", module.getClassCount) ||
        !Bind(library, "VxDllGetClassInfo", module.getClassInfo) ||
        !Bind(library, "VxDllCanUnloadNow", module.canUnloadNow))
        return kComponentExportMissing;
    return S_OK;
}

HRESULT CreateComponentObject(const ComponentModule& module, REFCLSID classId, REFIID interfaceId,
                              void** object) {
    *object = nullptr;
    if (!module.getClassObject)
        return E_FAIL;
    return module.getClassObject(classId, interfaceId, object);
}

void FreeComponentModule(ComponentModule& module) {
    if (module.library)
        FreeLibrary(module.library);
    std::memset(&module, 0, sizeof module);
}
