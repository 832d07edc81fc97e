#include "store/CodecAttach.h"

#include <utility>

#include <windows.h>

#include "common/ModulePath.h"
#include "common/TextConvert.h"
#include "store/CodecVfs.h"

namespace {

// A plain pointer: in a statically linked MinGW program a thread_local
// object with a destructor is destroyed after its thread's storage is gone
// when the thread ends, which breaks the heap of a program whose workers
// open stores. The object lives until the open takes it or the next
// ATTACH on the thread replaces it.
thread_local PendingAttach* t_pendingAttach = nullptr;

std::unique_ptr<PendingAttach> TakePendingAttach() {
    return std::unique_ptr<PendingAttach>(std::exchange(t_pendingAttach, nullptr));
}

// The absolute path of an engine file name (a "file:" URI's path part).
std::wstring AbsolutePathOf(const std::string& name) {
    std::string path = name;
    if (path.compare(0, 5, "file:") == 0) {
        path = path.substr(5);
        const std::size_t query = path.find('?');
        if (query != std::string::npos)
            path.resize(query);
    }
    const std::wstring wide = Utf8ToWide(path);
    const std::wstring full = FullPathName(wide);
    return full.empty() ? wide : full;
}

int WatchAttach(void* connection, int action, const char* file, const char*, const char*,
                const char*) {
    if (action == SQLITE_ATTACH && file) {
        CodecFile* main = MainCodecFile(static_cast<sqlite3*>(connection));
        auto pending = std::make_unique<PendingAttach>();
        pending->path = AbsolutePathOf(file);
        pending->mainReadKey = (main && main->block) ? main->block->readKey : nullptr;
        TakePendingAttach();
        t_pendingAttach = pending.release();
    }
    return SQLITE_OK;
}

} // namespace

int InstallAttachWatch(sqlite3* connection, char**, const sqlite3_api_routines*) {
    sqlite3_set_authorizer(connection, WatchAttach, connection);
    return SQLITE_OK;
}

std::unique_ptr<PendingAttach> TakeAttachNaming(const char* name) {
    if (!name || !t_pendingAttach || t_pendingAttach->path.empty() ||
        lstrcmpiW(AbsolutePathOf(name).c_str(), t_pendingAttach->path.c_str()) != 0)
        return nullptr;
    return TakePendingAttach();
}
