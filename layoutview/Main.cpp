// layoutview: shows layout 101, 102, 103 or a layout file as a skinned
// dialog of the program's engine, or with --shot FILE.png saves a picture
// of it and exits.

#include <cstdio>
#include <vector>

#include <windows.h>
#include <shlwapi.h>

#include "common/TextConvert.h"
#include "layoutview/DialogSnapshot.h"
#include "layoutview/LayoutViewDialog.h"
#include "layoutview/UiDocuments.h"

namespace {

constexpr char kUsage[] =
    "usage: layoutview [101|102|103|LAYOUT.xml] [--hide ID,ID...] [--shot FILE.png]\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "layoutview: %s\n", message.c_str());
    return 1;
}

// "301,302,303" as numbers; anything else between the commas is skipped.
std::vector<int> ParseIds(const wchar_t* text) {
    std::vector<int> ids;
    const std::wstring list = text;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(L',', start);
        if (end == std::wstring::npos)
            end = list.size();
        const int id = StrToIntW(list.substr(start, end - start).c_str());
        if (id > 0)
            ids.push_back(id);
        start = end + 1;
    }
    return ids;
}

} // namespace

extern "C" int wmain(int argc, wchar_t** argv) {
    std::wstring which = L"101";
    std::wstring shot;
    std::vector<int> hidden;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"--shot" && i + 1 < argc) {
            shot = argv[++i];
        } else if (argument == L"--hide" && i + 1 < argc) {
            hidden = ParseIds(argv[++i]);
        } else if (argument == L"--help" || argument == L"-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (!argument.empty() && argument[0] == L'-') {
            std::fputs(kUsage, stderr);
            return 2;
        } else {
            which = argument;
        }
    }
    if (!LoadProgramUiDocuments())
        return Fail("the program's UI documents are missing");
    LayoutViewDialog dialog;
    std::string error;
    if (!dialog.Load(which, error))
        return Fail(error);
    dialog.HideAtStart(hidden);
    if (shot.empty()) {
        dialog.RunModal(nullptr, nullptr);
        return 0;
    }
    if (!dialog.CreateHostWindow(nullptr, nullptr))
        return Fail("the dialog could not be created");
    CTwBitmap picture;
    if (!SnapshotDialog(dialog, picture))
        return Fail("the dialog could not be painted");
    if (!SavePng(picture, shot))
        return Fail("cannot save " + WideToUtf8(shot));
    std::printf("layoutview: %s, %d x %d\n", WideToUtf8(shot).c_str(), picture.Width(),
                picture.Height());
    return 0;
}
