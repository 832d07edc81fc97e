// The crash-dump hookup against the stand-in monitor qdump.dll: what
// identifier reaches it, with and without the registry's value, and a
// missing library.

#include <string>

#include <windows.h>

#include "common/TextConvert.h"
#include "shell/CrashDumpHookup.h"
#include "tests/support/GTest.h"
#include "tests/support/TempDir.h"

namespace {

// Runs the hookup and waits for the monitor's line in the log.
std::string HookUpAndRead(const std::wstring& log) {
    DeleteFileW(log.c_str());
    EXPECT_EQ(0, HookUpCrashDumpMonitor());
    for (int i = 0; i < 100 && testsupport::ReadFileBytes(log).empty(); ++i)
        Sleep(20);
    return testsupport::ReadFileBytes(log);
}

} // namespace

TEST(CrashDumpHookup, TheMonitorGetsTheRegistryIdentifierOrTheBuiltInOne) {
    testsupport::TempDir dir;
    const std::wstring log = dir.File(L"qdump.log");
    SetEnvironmentVariableW(L"QDUMP_LOG_FILE", log.c_str());
    SetEnvironmentVariableW(L"QDUMP_FOLDER", dir.Path().c_str());
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, ProductIdentifierKey().c_str());
    EXPECT_EQ(kBuiltInProductId, ReadProductIdentifier());
    EXPECT_EQ(WideToUtf8(kBuiltInProductId) + "\t1\t0x12000\t300\n", HookUpAndRead(log));

    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, ProductIdentifierKey().c_str(), 0,
                                             nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr));
    const wchar_t value[] = L"site-4711";
    RegSetValueExW(key, L"idex", 0, REG_SZ, reinterpret_cast<const BYTE*>(value), sizeof value);
    RegCloseKey(key);
    EXPECT_EQ("site-4711\t1\t0x12000\t300\n", HookUpAndRead(log));
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, ProductIdentifierKey().c_str());
    SetEnvironmentVariableW(L"QDUMP_LOG_FILE", nullptr);
}

TEST(CrashDumpHookup, TheIdentifierFillsA128ByteBufferWithItsTerminator) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, ProductIdentifierKey().c_str(), 0,
                                             nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr));
    const auto store = [key](const std::wstring& text) {
        RegSetValueExW(key, L"idex", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    };
    const std::wstring longest(63, L'7');
    store(longest);
    EXPECT_EQ(longest, ReadProductIdentifier());
    store(longest + L"8"); // 130 bytes with the terminator
    EXPECT_EQ(kBuiltInProductId, ReadProductIdentifier());
    RegCloseKey(key);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, ProductIdentifierKey().c_str());
}

TEST(CrashDumpHookup, AMissingLibraryOrExportChangesNothing) {
    EXPECT_EQ(-1, HookUpCrashDumpMonitor(L"no-such-monitor.dll"));
    EXPECT_EQ(-1, HookUpCrashDumpMonitor(L"kernel32.dll")); // no such export
    EXPECT_EQ(0, ProductIdentifierKey().find(L"SOFTWARE\\Classes\\CLSID\\{"));
}
