#pragma once
// userlistctl run in-process on the real component and a store of its own:
// the component's lists and the store live in a fresh folder per test.

#include <sstream>
#include <string>
#include <vector>

#include <windows.h>

#include "common/TextConvert.h"
#include "tests/support/GTest.h"
#include "tests/support/ReferenceMd5.h"
#include "tests/support/TempDir.h"
#include "userlistctl/UserListCommand.h"

namespace ctltest {

// A file the component takes as a standard PE image, its MD5 its own.
inline std::string PeBytes(const std::string& payload) {
    std::string bytes(0x200, '\0');
    bytes[0] = 'M';
    bytes[1] = 'Z';
    bytes[0x3c] = static_cast<char>(0x80);
    bytes.replace(0x80, 4, std::string("PE\0\0", 4));
    bytes[0x80 + 24] = 0x0b;
    bytes[0x80 + 25] = 0x01;
    return bytes + payload;
}

struct CtlResult {
    int code;
    std::string out;
    std::string err;
};

inline std::string U(const std::wstring& text) {
    return WideToUtf8(text);
}

class CtlFixture : public testing::Test {
protected:
    void SetUp() override { UseComponentLists(m_dir.File(L"vmrdetect.lists")); }
    void TearDown() override { SetEnvironmentVariableW(L"VMRDETECT_LIST_FILE", nullptr); }

    // The component keeps its lists in this file from the next command on.
    void UseComponentLists(const std::wstring& file) {
        SetEnvironmentVariableW(L"VMRDETECT_LIST_FILE", file.c_str());
    }

    // Runs a command line on the test's store (or the given one).
    CtlResult Ctl(std::vector<std::wstring> arguments, bool withStore = true) {
        return CtlOn(withStore ? m_dir.File(L"UserSign.dat") : std::wstring(),
                     std::move(arguments));
    }
    CtlResult CtlOn(const std::wstring& store, std::vector<std::wstring> arguments) {
        if (!store.empty())
            arguments.insert(arguments.begin(), {L"--store", store});
        std::ostringstream out, err;
        const int code = RunUserListCtl(arguments, out, err, m_environment);
        return CtlResult{code, out.str(), err.str()};
    }
    std::wstring AddPe(const std::wstring& name, const std::string& payload) {
        const std::string bytes = PeBytes(payload);
        const std::wstring path = m_tree.File(name);
        testsupport::WriteFileBytes(path, bytes.data(), static_cast<unsigned>(bytes.size()));
        return path;
    }
    std::string Md5(const std::wstring& path) { return testsupport::ReferenceMd5OfFile(path); }

    testsupport::TempDir m_dir;
    testsupport::TempDir m_tree;
    CliEnvironment m_environment; // the machine's own unless a test changes it
};

} // namespace ctltest
