#pragma once
// Reference counting and QueryInterface for the component's objects, which
// implement one interface each. The component counts its live objects so
// that it can tell whether it may be unloaded.

#include <windows.h>

LONG LiveComponentObjects();
void ComponentObjectCreated();
void ComponentObjectDestroyed();

template <typename Interface, const GUID& InterfaceId> class ComObject : public Interface {
public:
    ComObject() { ComponentObjectCreated(); }
    virtual ~ComObject() { ComponentObjectDestroyed(); }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!object)
            return E_POINTER;
        if (IsEqualGUID(id, InterfaceId) || IsEqualGUID(id, IID_IUnknown)) {
            *object = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&m_references));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0)
            delete this; // the last reference owns the object
        return static_cast<ULONG>(left);
    }

private:
    volatile LONG m_references = 1;
};
