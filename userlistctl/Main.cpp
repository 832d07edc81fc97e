// userlistctl: the command-line companion of the user list warden.

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <vector>

#include "userlistctl/HandleOutput.h"
#include "userlistctl/UserListCommand.h"

extern "C" int wmain(int argc, wchar_t** argv) {
    // Lines end in LF for the scripts that read them: the C runtime's text
    // mode would turn every "\n" into CRLF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    std::vector<std::wstring> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    // The commands' lines and the store's log lines (written to std::cout)
    // go out in order, through one buffer.
    HandleStreamBuf outBuffer(GetStdHandle(STD_OUTPUT_HANDLE));
    std::streambuf* const previous = std::cout.rdbuf(&outBuffer);
    const int code = RunUserListCtl(arguments, std::cout, std::cerr);
    std::cout.flush();
    std::cout.rdbuf(previous);
    return code;
}
