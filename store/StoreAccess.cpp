#include "store/StoreAccess.h"

#include "common/Handles.h"
#include "common/LongPath.h"
#include "common/ModulePath.h"

namespace {

DWORD Attributes(const std::wstring& path) {
    return GetFileAttributesW(LongFormPath(path).c_str());
}

// Makes and at once drops a file in the folder, as the engine does with its
// journal.
DWORD FolderWriteError(const std::wstring& folder) {
    const std::wstring probe =
        folder + L"UserSign-write-test-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    UniqueFile file(CreateFileW(LongFormPath(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    return file ? 0 : GetLastError();
}

DWORD FileWriteError(const std::wstring& path) {
    UniqueFile file(CreateFileW(LongFormPath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file ? 0 : GetLastError();
}

} // namespace

StoreCause DiagnoseStoreFile(const std::wstring& path, DWORD& error) {
    error = 0;
    const std::wstring folder = FolderOfPath(path);
    const DWORD folderAttributes = Attributes(folder);
    if (folderAttributes == INVALID_FILE_ATTRIBUTES ||
        !(folderAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = folderAttributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : ERROR_DIRECTORY;
        return StoreCause::FolderMissing;
    }
    const DWORD fileAttributes = Attributes(path);
    const bool exists = fileAttributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (fileAttributes & FILE_ATTRIBUTE_READONLY)) {
        error = ERROR_ACCESS_DENIED;
        return StoreCause::FileReadOnly;
    }
    if ((error = FolderWriteError(folder)) != 0)
        return StoreCause::FolderNotWritable;
    if (exists && (error = FileWriteError(path)) != 0) {
        return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION
                   ? StoreCause::FileInUse
                   : StoreCause::FileNotWritable;
    }
    return StoreCause::Unknown;
}

bool IsOnNetworkShare(const std::wstring& path) {
    const std::wstring ordinary = OrdinaryFormPath(path);
    if (ordinary.size() >= 2 && ordinary[0] == L'\\' && ordinary[1] == L'\\')
        return ordinary.compare(0, 4, L"\\\\.\\") != 0;
    if (ordinary.size() >= 2 && ordinary[1] == L':') {
        const wchar_t root[] = {ordinary[0], L':', L'\\', L'\0'};
        return GetDriveTypeW(root) == DRIVE_REMOTE;
    }
    return false;
}
