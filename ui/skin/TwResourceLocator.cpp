#include "ui/skin/TwResourceLocator.h"

#include "common/Handles.h"

namespace {

using Lookup = BOOL (ITwExtraResource::*)(const wchar_t*, int, IStream**);

bool FromProvider(ITwExtraResource* provider, Lookup lookup, const wchar_t* type, int id,
                  std::string& bytes) {
    if (!provider)
        return false;
    IStream* stream = nullptr;
    if (!(provider->*lookup)(type, id, &stream) || !stream)
        return false;
    const bool read = TwResourceLocator::ReadStream(stream, bytes);
    stream->Release();
    return read;
}

} // namespace

TwResourceLocator& TwResourceLocator::Instance() {
    static TwResourceLocator locator;
    return locator;
}

bool TwResourceLocator::ReadResource(HMODULE module, int id, const wchar_t* type,
                                     std::string& bytes) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!found)
        return false;
    const DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return false;
    bytes.assign(static_cast<const char*>(data), size);
    return true;
}

bool TwResourceLocator::ReadStream(IStream* stream, std::string& bytes) {
    STATSTG status = {};
    if (FAILED(stream->Stat(&status, STATFLAG_NONAME)))
        return false;
    const ULONG size = static_cast<ULONG>(status.cbSize.QuadPart);
    bytes.assign(size, '\0');
    LARGE_INTEGER start = {};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    ULONG got = 0;
    if (size != 0 && FAILED(stream->Read(&bytes[0], size, &got)))
        return false;
    bytes.resize(got);
    return true;
}

bool TwResourceLocator::ReadDirectoryFile(const std::wstring& directory, int id,
                                          const wchar_t* type, std::string& bytes) {
    if (directory.empty())
        return false;
    wchar_t path[MAX_PATH * 2];
    wsprintfW(path, L"%s\\%d.%s", directory.c_str(), id, type);
    UniqueFile file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size))
        return false;
    bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (!bytes.empty() &&
        !ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &got, nullptr))
        return false;
    bytes.resize(got);
    return true;
}

std::vector<std::string> TwResourceLocator::GatherDocument(int id, const wchar_t* type) const {
    std::vector<std::string> copies;
    std::string bytes;
    if (FromProvider(m_provider, &ITwExtraResource::LookupResource, type, id, bytes))
        copies.push_back(bytes);
    if (m_module && ReadResource(m_module, id, type, bytes))
        copies.push_back(bytes);
    if (ReadResource(GetModuleHandleW(nullptr), id, type, bytes))
        copies.push_back(bytes);
    if (ReadDirectoryFile(m_directory, id, type, bytes))
        copies.push_back(bytes);
    return copies;
}

bool TwResourceLocator::FetchImage(int id, const wchar_t* type, std::string& bytes) const {
    return FromProvider(m_provider, &ITwExtraResource::LookupResource, type, id, bytes) ||
           FromProvider(m_provider, &ITwExtraResource::LookupAlternativeResource, type, id,
                        bytes) ||
           (m_module && ReadResource(m_module, id, type, bytes)) ||
           ReadResource(GetModuleHandleW(nullptr), id, type, bytes) ||
           ReadDirectoryFile(m_directory, id, type, bytes);
}
