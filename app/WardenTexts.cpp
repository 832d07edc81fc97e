#include "app/WardenTexts.h"

#include <cstdio>

#include <windows.h>

std::wstring PrepareMsgBoxText(std::wstring text, int mode) {
    if (mode >= 2 && mode <= 5)
        text = FileNameOf(text);
    bool cut = false;
    if (text.size() > 64) {
        text = text.substr(0, 64) + L"……";
        cut = true;
    }
    bool wrapped = false;
    if (mode != 8 && !text.empty()) {
        text = L"“" + text + L"”";
        wrapped = true;
    }
    if (cut && wrapped && mode != 0)
        text += L"\n";
    return text;
}

std::wstring DuplicateBoxText(const std::wstring& firstName, int more) {
    std::wstring text = PrepareMsgBoxText(firstName, 1);
    if (more <= 0)
        return text;
    wchar_t count[48];
    wsprintfW(count, L"及另外 %d 个文件", more);
    const bool brokenLine = !text.empty() && text.back() == L'\n';
    if (brokenLine)
        text.pop_back();
    text += count;
    if (brokenLine)
        text += L'\n';
    return text;
}

std::wstring StoreWriteFailedText() {
    return L"未能写入记录文件 UserSign.dat，提交已停止；未写入的文件仍在列表中，可再次提交。";
}

std::string SummaryMarkup(int added, int refused, int linkId) {
    char markup[512];
    std::snprintf(markup, sizeof markup,
                  "本次共添加<c color=\"1111ff\"><![CDATA[ %d ]]></c>个文件，其中<c "
                  "color=\"ff2222\"><![CDATA[ %d ]]></c>个文件不符合添加<a id=\"%d\">格式</a>",
                  added, refused, linkId);
    return markup;
}

std::wstring BadgeText(int count) {
    if (count >= 100)
        return L"99+";
    wchar_t text[16];
    wsprintfW(text, L"%d", count);
    return text;
}

SelectAllState SelectAllFor(int rowsWithBox, int checkedRows) {
    if (rowsWithBox == 0)
        return SelectAllState{"0", false, false};
    if (checkedRows == 0)
        return SelectAllState{"2", true, false};
    if (checkedRows < rowsWithBox)
        return SelectAllState{"3", true, false};
    return SelectAllState{"1", true, true};
}

std::wstring FileNameOf(const std::wstring& path) {
    const std::size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

const wchar_t* UnrecordablePathText(StorePathResult problem) {
    return problem == StorePathResult::TooLong ? L"路径过长，无法记录" : L"路径无法记录";
}
