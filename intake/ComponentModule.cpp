#include "intake/ComponentModule.h"

#include <cstring>
#include <vector>

#include "common/ModulePath.h"
#include "common/PeMachine.h"

namespace {

// The full paths tried before the bare name, in order.
std::vector<std::wstring> CandidatePaths(const std::wstring& name) {
    if (name.find(L'\\') != std::wstring::npos)
        return {name};
    std::vector<std::wstring> paths;
    for (const std::wstring& folder :
         {GetModuleFolder(GetCurrentModule()), GetModuleFolder(nullptr)}) {
        const std::wstring path = folder + name;
        if (!folder.empty() && (paths.empty() || paths.back() != path))
            paths.push_back(path);
    }
    return paths;
}

// Notes the first file that exists but would not load: that is the one the
// user meant, whatever the system search path holds.
void NoteFailedCandidate(const std::wstring& path, DWORD error, ComponentLoadFailure& failure) {
    if (!failure.path.empty() || !IsExistingFile(path))
        return;
    failure.path = path;
    failure.error = error;
    failure.machine = ReadPeMachine(path);
}

HMODULE LoadLibrarySearched(const std::wstring& name, ComponentLoadFailure& failure) {
    const std::vector<std::wstring> candidates = CandidatePaths(name);
    failure.name = name.substr(name.find_last_of(L'\\') + 1);
    failure.folder = candidates.empty() ? std::wstring() : FolderOfPath(candidates.front());
    for (const std::wstring& path : candidates) {
        if (HMODULE library = LoadLibraryW(path.c_str()))
            return library;
        NoteFailedCandidate(path, GetLastError(), failure);
    }
    if (name.find(L'\\') != std::wstring::npos)
        return nullptr;
    HMODULE library = LoadLibraryW(name.c_str());
    if (!library && failure.path.empty())
        failure.error = GetLastError();
    return library;
}

template <typename Fn>
bool Bind(HMODULE library, const char* name, Fn& slot, ComponentLoadFailure& failure) {
    slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(library, name)));
    if (!slot)
        failure.missing = name;
    return slot != nullptr;
}

} // namespace

HRESULT LoadComponentModule(ComponentModule& module, const wchar_t* libraryName,
                            ComponentLoadFailure* failure) {
    std::memset(&module, 0, sizeof module);
    ComponentLoadFailure found;
    HMODULE library = LoadLibrarySearched(libraryName, found);
    HRESULT result = S_OK;
    if (!library) {
        result = kComponentNotLoaded;
    } else {
        module.library = library;
        if (!Bind(library, "VxDllGetClassObject", module.getClassObject, found) ||
            !Bind(library, "VxDllGetClassCount", module.getClassCount, found) ||
            !Bind(library, "VxDllGetClassInfo", module.getClassInfo, found) ||
            !Bind(library, "VxDllCanUnloadNow", module.canUnloadNow, found)) {
            result = kComponentExportMissing;
            found.path = GetModulePath(library);
            found.machine = ReadPeMachine(found.path);
        }
    }
    found.result = result;
    if (failure)
        *failure = std::move(found);
    return result;
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
