// The component's exports.

#include <windows.h>

#include "intake/DetectionComponent.h"
#include "vmrdetect/FileDetector.h"
#include "vmrdetect/SignatureList.h"

namespace {

struct ClassEntry {
    const GUID* classId;
    const GUID* interfaceId;
};

const ClassEntry kClasses[] = {
    {&CLSID_VxFileDetector, &IID_IFileDetector},
    {&CLSID_VxSignatureList, &IID_ISignatureList},
};

IUnknown* CreateObject(REFCLSID classId) {
    if (IsEqualGUID(classId, CLSID_VxFileDetector))
        return new FileDetector(); // owned by its reference count
    if (IsEqualGUID(classId, CLSID_VxSignatureList))
        return static_cast<ISignatureList*>(new SignatureList(SignatureListFilePath()));
    return nullptr;
}

} // namespace

extern "C" HRESULT WINAPI VxDllGetClassObject(REFCLSID classId, REFIID interfaceId, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    IUnknown* created = CreateObject(classId);
    if (!created)
        return CLASS_E_CLASSNOTAVAILABLE;
    const HRESULT hr = created->QueryInterface(interfaceId, object);
    created->Release();
    return hr;
}

extern "C" HRESULT WINAPI VxDllGetClassCount(int* count) {
    if (!count)
        return E_POINTER;
    *count = static_cast<int>(sizeof kClasses / sizeof kClasses[0]);
    return S_OK;
}

extern "C" HRESULT WINAPI VxDllGetClassInfo(int index, CLSID* classId, IID* interfaceId) {
    if (index < 0 || index >= static_cast<int>(sizeof kClasses / sizeof kClasses[0]))
        return E_INVALIDARG;
    if (classId)
        *classId = *kClasses[index].classId;
    if (interfaceId)
        *interfaceId = *kClasses[index].interfaceId;
    return S_OK;
}

extern "C" HRESULT WINAPI VxDllCanUnloadNow() {
    return LiveComponentObjects() == 0 ? S_OK : S_FALSE;
}
