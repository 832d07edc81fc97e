#include "intake/CurrentOrigin.h"

#include <windows.h>

#include "common/TextConvert.h"

namespace {

std::string UserName() {
    wchar_t name[257] = {};
    DWORD size = 257;
    return GetUserNameW(name, &size) ? WideToUtf8(name) : std::string();
}

std::string ComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    return GetComputerNameW(name, &size) ? WideToUtf8(name) : std::string();
}

} // namespace

EntryOrigin CurrentOrigin(std::string how, std::string note) {
    EntryOrigin origin;
    origin.user = UserName();
    origin.computer = ComputerName();
    origin.how = std::move(how);
    origin.note = std::move(note);
    return origin;
}
