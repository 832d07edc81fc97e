#pragma once
// The contract with the product's detection component, vmrdetect.dll: its
// exports and its two COM-style objects. The slot order of both interfaces is
// fixed (the three IUnknown slots come first). What the tool needs beyond
// the contract it asks for with QueryInterface (ISignatureLookup); a
// component that does not answer serves every feature through the contract.

#include <windows.h>
#include <objbase.h>

#include "intake/SignatureListKind.h"

inline constexpr GUID CLSID_VxFileDetector = {
    0x6b3f1c2a, 0x41d7, 0x4c8e, {0x9a, 0x52, 0x1e, 0x70, 0x3d, 0xc4, 0x88, 0x01}};
inline constexpr GUID IID_IFileDetector = {
    0x6b3f1c2a, 0x41d7, 0x4c8e, {0x9a, 0x52, 0x1e, 0x70, 0x3d, 0xc4, 0x88, 0x02}};
inline constexpr GUID CLSID_VxSignatureList = {
    0x6b3f1c2a, 0x41d7, 0x4c8e, {0x9a, 0x52, 0x1e, 0x70, 0x3d, 0xc4, 0x88, 0x03}};
inline constexpr GUID IID_ISignatureList = {
    0x6b3f1c2a, 0x41d7, 0x4c8e, {0x9a, 0x52, 0x1e, 0x70, 0x3d, 0xc4, 0x88, 0x04}};

// Result codes of AnalyseFile besides S_OK (a standard PE image).
inline constexpr HRESULT kAnalyseNotPe = S_FALSE; // readable, not a standard PE image

struct IFileDetector : public IUnknown {
    // Slot 4. `digest` receives the file's MD5, or sixteen zero bytes when the
    // file is not a standard PE image or cannot be read (`result` says why).
    // `extra` receives the image's machine type (0 when there is none).
    virtual HRESULT STDMETHODCALLTYPE AnalyseFile(const wchar_t* path, int reserved, int* result,
                                                  BYTE digest[16], int* extra) = 0;
};

struct ISignatureList : public IUnknown {
    // Slot 4: opens a change bracket; negative when the lists cannot be written.
    virtual HRESULT STDMETHODCALLTYPE BeginUpdate() = 0;
    // Slot 5: the product's own operation, whose arguments and meaning the
    // contract does not give. Never called.
    virtual HRESULT STDMETHODCALLTYPE ReservedSlot5() = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveTrusted(const char* md5) = 0; // slot 6
    virtual HRESULT STDMETHODCALLTYPE AddTrusted(const char* md5) = 0;    // slot 7
    virtual HRESULT STDMETHODCALLTYPE AddBlack(const char* md5) = 0;      // slot 8
    virtual HRESULT STDMETHODCALLTYPE RemoveBlack(const char* md5) = 0;   // slot 9
    // Slot 10: closes the bracket; the outermost one writes the lists.
    virtual HRESULT STDMETHODCALLTYPE EndUpdate() = 0;
};

// Which list holds an MD5: not part of the component contract. The tool asks
// the signature list object for it with QueryInterface; the stand-in
// component answers, a component that does not is used without it.
inline constexpr GUID IID_ISignatureLookup = {
    0x3f9d2b47, 0x8c1e, 0x4a06, {0xb5, 0x7d, 0x21, 0xe8, 0x4c, 0x9a, 0x60, 0x13}};

struct ISignatureLookup : public IUnknown {
    // Slot 4: the SignatureListKind that holds the MD5 in *kind.
    virtual HRESULT STDMETHODCALLTYPE Lookup(const char* md5, int* kind) = 0;
};

// The component's exports, in the order they are looked up.
using VxDllGetClassObjectFn = HRESULT(WINAPI*)(REFCLSID classId, REFIID interfaceId, void** object);
using VxDllGetClassCountFn = HRESULT(WINAPI*)(int* count);
using VxDllGetClassInfoFn = HRESULT(WINAPI*)(int index, CLSID* classId, IID* interfaceId);
using VxDllCanUnloadNowFn = HRESULT(WINAPI*)();

inline constexpr wchar_t kDetectionComponentName[] = L"vmrdetect.dll";
