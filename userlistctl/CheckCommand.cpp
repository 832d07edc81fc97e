#include "userlistctl/CheckCommand.h"

#include <string>

#include <windows.h>

#include "BuildVersion.h"
#include "common/ModulePath.h"
#include "common/PeMachine.h"
#include "common/TextConvert.h"
#include "userlistctl/CliFailures.h"
#include "userlistctl/CliPaths.h"
#include "userlistctl/UserListCommand.h"

namespace {

// The findings and the first problem's exit code.
class CheckReport {
public:
    CheckReport(std::ostream& out, std::ostream& err) : m_out(out), m_err(err) {}

    void Fact(const char* what, const std::string& finding) {
        m_out << what << '\t' << finding << '\n';
    }
    void Problem(int code, const std::string& line) {
        m_err << "userlistctl: " << line << '\n';
        if (m_code == kCliOk)
            m_code = code;
    }
    int Code() const { return m_code; }

private:
    std::ostream& m_out;
    std::ostream& m_err;
    int m_code = kCliOk;
};

std::string ComponentMachine(const std::wstring& path) {
    if (!PathExists(path))
        return "no such file";
    const std::uint16_t machine = ReadPeMachine(path);
    return machine ? MachineDescription(machine) : "not a PE image";
}

void CheckComponent(const FileProcessor& processor, CheckReport& report) {
    const std::wstring path = processor.ComponentPath();
    report.Fact("component", WideToUtf8(path));
    report.Fact("component machine", ComponentMachine(path));
    if (processor.HasComponent()) {
        report.Fact("component state", "loaded");
        // Without it, removals and the window's start work from the store
        // alone: each stored entry is put on its list, each removal asks
        // the component to remove from the list the store names.
        report.Fact("component lookup", processor.HasLookup()
                                            ? "offered"
                                            : "not offered (the component's lists are "
                                              "changed from the store's alone)");
        return;
    }
    report.Fact("component state", "not loaded");
    report.Problem(kCliNoComponent, ComponentFailureLine(processor.ComponentFailure()));
}

std::string StoreState(const StoreAccess& access) {
    switch (access.problem) {
    case StoreProblem::None:
        return "writable";
    case StoreProblem::CannotOpen:
        return "cannot be opened";
    case StoreProblem::CannotWrite:
        return "opens, cannot be written";
    }
    return "unknown";
}

void CheckStore(FileProcessor& processor, CheckReport& report) {
    const StoreAccess& access = processor.StoreState();
    report.Fact("store", WideToUtf8(processor.StorePath()));
    report.Fact("store state", StoreState(access));
    if (!access.Ok())
        report.Problem(kCliStoreFailed, StoreFailureLine(processor.StorePath(), access));
    if (access.problem == StoreProblem::CannotOpen)
        return;
    UserListRecords trusted, black;
    processor.LoadTrustedEntries(trusted);
    processor.LoadBlackEntries(black);
    report.Fact("entries", std::to_string(trusted.size()) + " trusted, " +
                               std::to_string(black.size()) + " black");
}

void CheckNetworkShare(const std::wstring& store, const CliEnvironment& environment,
                       CheckReport& report) {
    if (!environment.onNetworkShare(store)) {
        report.Fact("network share", "no");
        return;
    }
    report.Fact("network share", "yes");
    report.Problem(kCliNetworkStore,
                   "the store " + WideToUtf8(store) +
                       " is on a network share, where the database engine's locking is not "
                       "reliable: keep it on a local disk beside the program");
}

void CheckVirtualisation(const std::wstring& store, const CliEnvironment& environment,
                         CheckReport& report) {
    const std::wstring copy = VirtualStorePath(store, environment.localAppData);
    const bool virtualised = environment.writesVirtualised();
    report.Fact("virtualised", virtualised ? "yes" : "no");
    if (virtualised)
        report.Problem(
            kCliVirtualised,
            "this process's writes are virtualised: the store's changes go to " +
                (copy.empty() ? std::string("the user's VirtualStore") : WideToUtf8(copy)) +
                ", which no other user or elevated run sees");
    if (copy.empty() || !IsExistingFile(copy))
        return;
    report.Fact("virtual store copy", WideToUtf8(copy));
    report.Problem(kCliVirtualised,
                   "a copy of the store made by a run whose writes were virtualised is at " +
                       WideToUtf8(copy) +
                       "; its records are not in the store: export them with userlistctl "
                       "--store \"" +
                       WideToUtf8(copy) + "\" export csv and import that file");
}

} // namespace

int RunCheck(FileProcessor& processor, const CliEnvironment& environment, std::ostream& out,
             std::ostream& err) {
    CheckReport report(out, err);
    report.Fact("version",
                std::string(kBuildVersionTextA) + " " + MachineDescription(OwnPeMachine()));
    report.Fact("program", WideToUtf8(GetModulePath(nullptr)));
    CheckComponent(processor, report);
    CheckStore(processor, report);
    CheckNetworkShare(processor.StorePath(), environment, report);
    CheckVirtualisation(processor.StorePath(), environment, report);
    return report.Code();
}
