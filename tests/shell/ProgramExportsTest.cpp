// The program module itself carries the codec's two key functions under
// their exact export names.

#include <windows.h>

#include "tests/support/GTest.h"

TEST(ProgramExports, TheProgramExportsBothKeyFunctionsByName) {
    HMODULE program = LoadLibraryExW(L"userwarden.exe", nullptr, 0);
    ASSERT_NE(nullptr, program) << GetLastError();
    EXPECT_NE(nullptr, GetProcAddress(program, "_sqlite3_key_interop@12"));
    EXPECT_NE(nullptr, GetProcAddress(program, "_sqlite3_rekey_interop@12"));
    EXPECT_EQ(nullptr, GetProcAddress(program, "sqlite3_key_interop"));
    FreeLibrary(program);
}
