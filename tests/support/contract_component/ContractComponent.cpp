// A detection component that offers the contract's slots and nothing more:
// its signature list answers no QueryInterface but its own, and its slot 5,
// whose meaning the contract does not give, records every call. The tests
// load it in place of the stand-in and read what it was asked to do.
//
// Its lists live in the file named by CONTRACT_COMPONENT_STATE ("T <md5>"
// or "B <md5>" lines), read at BeginUpdate and written at EndUpdate; each
// call of the signature list is appended to that file's name + ".calls".
// Files are analysed as the stand-in analyses them.

#include <windows.h>

#include <fstream>
#include <map>
#include <string>

#include "intake/DetectionComponent.h"
#include "tests/support/contract_component/ContractComponentFiles.h"
#include "vmrdetect/ComObject.h"
#include "vmrdetect/FileDetector.h"

namespace {

std::wstring StatePath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(kContractComponentStateVariable, path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

// Reference counting and QueryInterface as the stand-in's objects have
// them: ISignatureList and IUnknown, nothing more.
class ContractSignatureList final : public ComObject<ISignatureList, IID_ISignatureList> {
public:
    HRESULT STDMETHODCALLTYPE BeginUpdate() override {
        Record("BeginUpdate", nullptr);
        m_lists = ReadContractLists(StatePath());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReservedSlot5() override {
        Record("Slot5", nullptr);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RemoveTrusted(const char* md5) override {
        return Remove(md5, 'T', "RemoveTrusted");
    }
    HRESULT STDMETHODCALLTYPE AddTrusted(const char* md5) override {
        Record("AddTrusted", md5);
        m_lists[md5] = 'T';
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE AddBlack(const char* md5) override {
        Record("AddBlack", md5);
        m_lists[md5] = 'B';
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RemoveBlack(const char* md5) override {
        return Remove(md5, 'B', "RemoveBlack");
    }
    HRESULT STDMETHODCALLTYPE EndUpdate() override {
        Record("EndUpdate", nullptr);
        std::ofstream out(StatePath().c_str(), std::ios::binary | std::ios::trunc);
        for (const auto& entry : m_lists)
            out << entry.second << ' ' << entry.first << '\n';
        return out ? S_OK : E_FAIL;
    }

private:
    HRESULT Remove(const char* md5, char list, const char* name) {
        Record(name, md5);
        const auto found = m_lists.find(md5);
        if (found == m_lists.end() || found->second != list)
            return S_FALSE;
        m_lists.erase(found);
        return S_OK;
    }
    static void Record(const char* call, const char* md5) {
        std::ofstream out((StatePath() + L".calls").c_str(), std::ios::binary | std::ios::app);
        out << call;
        if (md5)
            out << ' ' << md5;
        out << '\n';
    }

    std::map<std::string, char> m_lists;
};

} // namespace

extern "C" HRESULT WINAPI VxDllGetClassObject(REFCLSID classId, REFIID interfaceId, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    IUnknown* created = nullptr;
    if (IsEqualGUID(classId, CLSID_VxFileDetector))
        created = new FileDetector(); // owned by its reference count
    else if (IsEqualGUID(classId, CLSID_VxSignatureList))
        created = new ContractSignatureList();
    if (!created)
        return CLASS_E_CLASSNOTAVAILABLE;
    const HRESULT hr = created->QueryInterface(interfaceId, object);
    created->Release();
    return hr;
}

extern "C" HRESULT WINAPI VxDllGetClassCount(int* count) {
    if (!count)
        return E_POINTER;
    *count = 2;
    return S_OK;
}

extern "C" HRESULT WINAPI VxDllGetClassInfo(int, CLSID*, IID*) {
    return E_NOTIMPL;
}

extern "C" HRESULT WINAPI VxDllCanUnloadNow() {
    return S_FALSE;
}
