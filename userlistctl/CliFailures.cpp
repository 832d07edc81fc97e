#include "userlistctl/CliFailures.h"

#include "common/PeMachine.h"
#include "common/TextConvert.h"

namespace {

std::string SystemMessage(DWORD error) {
    wchar_t* buffer = nullptr;
    // English where the system has it: the lines are for scripts and tickets.
    const DWORD flags =
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    DWORD length =
        FormatMessageW(flags, nullptr, error, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                       reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0)
        length = FormatMessageW(flags, nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0,
                                nullptr);
    std::string text = WideToUtf8(std::wstring(buffer ? buffer : L"", length));
    LocalFree(buffer);
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return (text.empty() ? "error" : text) + " (error " + std::to_string(error) + ")";
}

std::string CauseText(const StoreAccess& access) {
    const bool denied = access.error == ERROR_ACCESS_DENIED;
    switch (access.cause) {
    case StoreCause::FolderMissing:
        return "its folder does not exist";
    case StoreCause::FolderNotWritable:
        return denied ? "the folder is not writable: run the tool as administrator"
                      : "no file can be made in its folder: " + SystemMessage(access.error);
    case StoreCause::FileReadOnly:
        return "the file is read-only";
    case StoreCause::FileNotWritable:
        return denied ? "the file is not writable: run the tool as administrator"
                      : SystemMessage(access.error);
    case StoreCause::FileInUse:
        return "another program holds the file without sharing it";
    case StoreCause::NotADatabase:
        return "it is no store of this tool, or it is damaged";
    case StoreCause::Unknown:
        break;
    }
    return access.engineMessage;
}

} // namespace

std::string MachineDescription(std::uint16_t machine) {
    const int bits = PeMachineBits(machine);
    return PeMachineName(machine) + (bits ? " (" + std::to_string(bits) + "-bit)" : "");
}

std::string ComponentFailureLine(const ComponentLoadFailure& failure) {
    const std::string name = WideToUtf8(failure.name);
    if (failure.result == kComponentNotLoaded && failure.path.empty())
        return "the detection component " + name + " was found neither in " +
               WideToUtf8(failure.folder) + " nor on the system search path";
    const std::string head = "the detection component " + WideToUtf8(failure.path);
    if (failure.result != kComponentNotLoaded)
        return head + " is not the product's component: it has no " + failure.missing;
    const int bits = PeMachineBits(failure.machine);
    if (failure.error == ERROR_BAD_EXE_FORMAT && bits != 0 && failure.machine != OwnPeMachine())
        return head + " cannot be loaded: it is a " + MachineDescription(failure.machine) +
               " DLL and this program is " + std::to_string(PeMachineBits(OwnPeMachine())) +
               "-bit, and a program loads only DLLs of its own kind; use the " +
               std::to_string(bits) + "-bit package (userwarden-win" + std::to_string(bits) + ")";
    return head + " cannot be loaded: " + SystemMessage(failure.error);
}

std::string StoreFailureLine(const std::wstring& path, const StoreAccess& access) {
    return "the store " + WideToUtf8(path) +
           (access.problem == StoreProblem::CannotOpen ? " cannot be opened: "
                                                       : " cannot be written: ") +
           CauseText(access);
}

std::string ReadErrorReason(DWORD error) {
    return SystemMessage(error);
}
