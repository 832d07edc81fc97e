#pragma once
// Finds the bytes of a UI resource by numeric id and type name. Sources, in
// their fixed order: an extra-resource provider, a resource module, the
// program's own resources, and a directory of files named "<id>.<type>".
// This program sets none of the optional ones; only its own resources are
// consulted then.

#include <string>
#include <vector>

#include <windows.h>
#include <objidl.h>

// A provider of resources outside the program (a skin package). Each lookup
// answers non-zero with a stream when it has the resource.
class ITwExtraResource {
public:
    virtual BOOL LookupResource(const wchar_t* type, int id, IStream** stream) = 0;
    virtual BOOL LookupCommonResource(const wchar_t* type, int id, IStream** stream) = 0;
    virtual BOOL LookupAlternativeResource(const wchar_t* type, int id, IStream** stream) = 0;

protected:
    ~ITwExtraResource() = default;
};

class TwResourceLocator {
public:
    static TwResourceLocator& Instance();

    // Every copy of a document, one per source that has it, in source order.
    std::vector<std::string> GatherDocument(int id, const wchar_t* type = L"xml") const;
    // Image bytes from the first source that has them.
    bool FetchImage(int id, const wchar_t* type, std::string& bytes) const;

    void SetDirectory(std::wstring directory) { m_directory = std::move(directory); }
    void SetResourceModule(HMODULE module) { m_module = module; }
    void SetProvider(ITwExtraResource* provider) { m_provider = provider; }
    HMODULE ResourceModule() const { return m_module; }
    const std::wstring& Directory() const { return m_directory; }
    ITwExtraResource* Provider() const { return m_provider; }

    // A resource of a module copied out whole; false when absent.
    static bool ReadResource(HMODULE module, int id, const wchar_t* type, std::string& bytes);
    // All bytes of a stream (its size from its status record).
    static bool ReadStream(IStream* stream, std::string& bytes);
    // The file "<directory>\<id>.<type>", read whole.
    static bool ReadDirectoryFile(const std::wstring& directory, int id, const wchar_t* type,
                                  std::string& bytes);

private:
    TwResourceLocator() = default;

    std::wstring m_directory;
    HMODULE m_module = nullptr;
    ITwExtraResource* m_provider = nullptr;
};
