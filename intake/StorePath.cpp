#include "intake/StorePath.h"

#include "common/TextConvert.h"
#include "store/UserListRecord.h"

StorePathResult ToStorePath(std::wstring_view path, std::string& narrow) {
    bool lossy = false;
    std::string converted = WideToAnsi(path, &lossy);
    if (lossy)
        return StorePathResult::NotRepresentable;
    if (converted.size() >= sizeof(UserListRecord::Path))
        return StorePathResult::TooLong;
    narrow.swap(converted);
    return StorePathResult::Ok;
}

const char* StorePathProblem(StorePathResult result) {
    switch (result) {
    case StorePathResult::TooLong:
        return "path too long for the store (260 bytes or more in the system code page)";
    case StorePathResult::NotRepresentable:
        return "path not representable in the system code page";
    case StorePathResult::Ok:
        break;
    }
    return "";
}
