#pragma once
// What userlistctl takes from the machine it runs on. The defaults are the
// machine's own; tests replace a piece to make a condition this machine
// cannot (a store on a network share, a virtualised process).

#include <string>

#include "common/Virtualisation.h"
#include "intake/ComponentModule.h"
#include "store/StoreAccess.h"

struct CliEnvironment {
    // The component library: a name sought beside the program, or a full path.
    std::wstring componentLibrary = kDetectionComponentName;
    bool (*onNetworkShare)(const std::wstring& path) = IsOnNetworkShare;
    bool (*writesVirtualised)() = ProcessWritesVirtualised;
    // The folder whose VirtualStore a virtualised write would land in.
    std::wstring localAppData = LocalAppDataFolder();
};
