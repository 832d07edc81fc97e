#include "bench/window/TextFiles.h"

#include <cstdlib>

#include <windows.h>

#include "common/Handles.h"

bool WriteTextFile(const std::wstring& path, const std::string& text) {
    const std::wstring temporary = path + L".part";
    {
        const UniqueFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file ||
            !WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written,
                       nullptr) ||
            written != text.size())
            return false;
    }
    return MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

std::optional<std::string> ReadTextFile(const std::wstring& path) {
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::nullopt;
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    return text;
}

std::optional<double> ReadNumberFile(const std::wstring& path) {
    const std::optional<std::string> text = ReadTextFile(path);
    if (!text)
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text->c_str(), &end);
    if (end == text->c_str())
        return std::nullopt;
    return value;
}
