// userlistctl: the command-line companion of the user list warden.

#include <iostream>
#include <vector>

#include "userlistctl/UserListCommand.h"

extern "C" int wmain(int argc, wchar_t** argv) {
    std::vector<WString> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    std::ios::sync_with_stdio(false);
    const int code = RunUserListCtl(arguments, std::cout, std::cerr);
    std::cout.flush();
    return code;
}
