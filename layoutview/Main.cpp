// layoutview: shows layout 101, 102, 103 or a layout file as a skinned
// dialog of the program's engine, or with --shot FILE.png saves a picture
// of it and exits; --focus ID puts the keyboard focus on an element with
// its cue shown, --high-contrast draws it as Windows' high-contrast mode
// with the High Contrast Black colours.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include <windows.h>
#include <shlwapi.h>

#include "common/TextConvert.h"
#include "layoutview/DialogSnapshot.h"
#include "layoutview/LayoutViewDialog.h"
#include "layoutview/UiDocuments.h"
#include "ui/engine/TwHighContrast.h"

namespace {

constexpr char kUsage[] =
    "usage: layoutview [101|102|103|LAYOUT.xml] [--hide ID,ID...] [--focus ID] [--high-contrast]\n"
    "                  [--shot FILE.png]\n";

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

// The High Contrast Black scheme's colours for as long as it lives, then
// the colours as they were.
class HighContrastBlack {
public:
    HighContrastBlack() {
        for (std::size_t i = 0; i < kCount; ++i)
            m_was[i] = GetSysColor(kElements[i]);
        SetSysColors(static_cast<int>(kCount), kElements, kScheme);
        OverrideHighContrast(true);
    }
    ~HighContrastBlack() {
        OverrideHighContrast(std::nullopt);
        SetSysColors(static_cast<int>(kCount), kElements, m_was);
    }
    HighContrastBlack(const HighContrastBlack&) = delete;
    HighContrastBlack& operator=(const HighContrastBlack&) = delete;

private:
    static constexpr std::size_t kCount = 9;
    static constexpr INT kElements[kCount] = {
        COLOR_WINDOW,   COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, COLOR_HOTLIGHT,
        COLOR_GRAYTEXT, COLOR_BTNFACE,    COLOR_BTNTEXT,   COLOR_WINDOWFRAME};
    static constexpr COLORREF kScheme[kCount] = {
        RGB(0, 0, 0), RGB(255, 255, 255), RGB(0x1A, 0xEB, 0xFF),
        RGB(0, 0, 0), RGB(255, 255, 0),   RGB(0x3F, 0xF2, 0x3F),
        RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 255, 255)};
    COLORREF m_was[kCount] = {};
};

// The keyboard focus on element `id` with the cue shown, as after a Tab.
bool ShowFocusOn(LayoutViewDialog& dialog, int id) {
    ShowWindow(dialog.Hwnd(), SW_SHOW);
    SetForegroundWindow(dialog.Hwnd());
    SetFocus(dialog.View().Hwnd());
    dialog.View().Focus().OnUpdateUiState(MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS));
    return dialog.View().Focus().FocusElement(id);
}

} // namespace

extern "C" int wmain(int argc, wchar_t** argv) {
    std::wstring which = L"101";
    std::wstring shot;
    std::vector<int> hidden;
    int focus = 0;
    bool highContrast = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument == L"--shot" && i + 1 < argc) {
            shot = argv[++i];
        } else if (argument == L"--hide" && i + 1 < argc) {
            hidden = ParseIds(argv[++i]);
        } else if (argument == L"--focus" && i + 1 < argc) {
            focus = StrToIntW(argv[++i]);
        } else if (argument == L"--high-contrast") {
            highContrast = true;
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
    std::optional<HighContrastBlack> contrast;
    if (highContrast)
        contrast.emplace();
    if (!LoadProgramUiDocuments())
        return Fail("the program's UI documents are missing");
    LayoutViewDialog dialog;
    std::string error;
    if (!dialog.Load(which, error))
        return Fail(error);
    dialog.HideAtStart(hidden);
    if (shot.empty()) {
        if (focus != 0)
            std::fputs("layoutview: --focus is for --shot; Tab moves the focus here\n", stderr);
        dialog.RunModal(nullptr, nullptr);
        return 0;
    }
    if (!dialog.CreateHostWindow(nullptr, nullptr))
        return Fail("the dialog could not be created");
    if (focus != 0 && !ShowFocusOn(dialog, focus))
        return Fail("element " + std::to_string(focus) + " takes no keyboard focus");
    CTwBitmap picture;
    if (!SnapshotDialog(dialog, picture))
        return Fail("the dialog could not be painted");
    if (!SavePng(picture, shot))
        return Fail("cannot save " + WideToUtf8(shot));
    std::printf("layoutview: %s, %d x %d\n", WideToUtf8(shot).c_str(), picture.Width(),
                picture.Height());
    return 0;
}
