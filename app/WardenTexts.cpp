#include "app/WardenTexts.h"

#include <cstdio>

#include <windows.h>

#include "common/PeMachine.h"
#include "common/TextConvert.h"

namespace {

// Error codes of the file system that the headers of every toolchain do not
// name: a file that an antivirus scanner keeps closed.
constexpr DWORD kErrorVirusInfected = 225;
constexpr DWORD kErrorVirusDeleted = 226;

std::wstring Quoted(const std::wstring& name) {
    return L"“" + (name.size() > 64 ? name.substr(0, 64) + L"……" : name) + L"”";
}

std::wstring BitsText(std::uint16_t machine) {
    const int bits = PeMachineBits(machine);
    const std::wstring name = Utf8ToWide(PeMachineName(machine));
    return bits == 0 ? name : std::to_wstring(bits) + L" 位（" + name + L"）";
}

std::wstring ComponentLoadCause(const ComponentLoadFailure& failure) {
    if (failure.error == ERROR_BAD_EXE_FORMAT && PeMachineBits(failure.machine) != 0 &&
        failure.machine != OwnPeMachine()) {
        const int bits = PeMachineBits(failure.machine);
        return L"它是 " + BitsText(failure.machine) + L" 的组件，而本程序是 " +
               std::to_wstring(PeMachineBits(OwnPeMachine())) +
               L" 位的，程序只能加载与自己位数相同的组件。请改用 " + std::to_wstring(bits) +
               L" 位的安装包 userwarden-win" + std::to_wstring(bits) + L"。";
    }
    return SystemErrorText(failure.error) + L"（错误 " + std::to_wstring(failure.error) + L"）。";
}

std::wstring StoreCauseText(const StoreAccess& access) {
    const bool denied = access.error == ERROR_ACCESS_DENIED;
    switch (access.cause) {
    case StoreCause::FolderMissing:
        return L"所在文件夹不存在。";
    case StoreCause::FolderNotWritable:
        return denied ? L"所在文件夹不可写入，请以管理员身份运行本工具。"
                      : L"无法在所在文件夹中创建文件（" + SystemErrorText(access.error) + L"）。";
    case StoreCause::FileReadOnly:
        return L"该文件是只读的，请取消它的只读属性。";
    case StoreCause::FileNotWritable:
        return denied ? L"没有写入该文件的权限，请以管理员身份运行本工具。"
                      : SystemErrorText(access.error) + L"。";
    case StoreCause::FileInUse:
        return L"该文件正被其他程序独占使用。";
    case StoreCause::NotADatabase:
        return L"该文件不是本工具的记录文件，或已损坏。";
    case StoreCause::Unknown:
        break;
    }
    return Utf8ToWide(access.engineMessage) + L"。";
}

} // namespace

std::wstring PrepareMsgBoxText(std::wstring text, int mode) {
    if (mode >= 2 && mode <= 5)
        text = FileNameOf(text);
    // A removal question names its file on a line of its own above the
    // question's three lines: two lines of the box at the most.
    const bool question = mode == BoxMode::kRemoveTrusted || mode == BoxMode::kRemoveBlack;
    const std::size_t longest = question ? 28 : 64;
    bool cut = false;
    if (text.size() > longest) {
        text = text.substr(0, longest) + L"……";
        cut = true;
    }
    bool wrapped = false;
    if (mode != BoxMode::kNotice && !text.empty()) {
        text = L"“" + text + L"”";
        wrapped = true;
    }
    if (wrapped && mode != 0 && (cut || question))
        text += L"\n";
    return text;
}

std::wstring DuplicateBoxText(const std::wstring& firstName, int more) {
    std::wstring text = PrepareMsgBoxText(firstName, BoxMode::kAlreadyListed);
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

std::wstring ComponentFailureText(const ComponentLoadFailure& failure) {
    std::wstring text;
    if (failure.result == kComponentNotLoaded && failure.path.empty()) {
        text = L"未找到检测组件 " + failure.name + L"（已在 " + failure.folder +
               L" 及系统路径中查找）。请把本工具放到防病毒产品的文件夹中。";
    } else if (failure.result == kComponentNotLoaded) {
        text = L"未能加载检测组件 " + failure.path + L"：" + ComponentLoadCause(failure);
    } else {
        text = L"检测组件 " + failure.path + L" 不可用：它没有提供 " + Utf8ToWide(failure.missing) +
               L"，不是本产品的检测组件。";
    }
    return text + L"文件无法分析和提交，已操作的文件仍可查看。";
}

std::wstring StoreFailureText(const std::wstring& path, const StoreAccess& access) {
    const std::wstring head = access.problem == StoreProblem::CannotOpen
                                  ? L"未能打开记录文件 " + path + L"："
                                  : L"记录文件 " + path + L" 无法写入：";
    return head + StoreCauseText(access) + L"提交的文件将无法记录。";
}

std::wstring UnreadableBoxText(const std::wstring& firstName, DWORD error, int more) {
    std::wstring text = L"无法读取文件" + Quoted(firstName) + L"（" + ReadErrorText(error) + L"）";
    if (more > 0)
        text += L"及另外 " + std::to_wstring(more) + L" 个文件";
    return text + L"，未添加到列表。";
}

std::wstring ReadErrorText(DWORD error) {
    switch (error) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return L"文件正被其他程序占用";
    case ERROR_ACCESS_DENIED:
        return L"拒绝访问";
    case kErrorVirusInfected:
    case kErrorVirusDeleted:
        return L"防病毒软件阻止了读取";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return L"文件不存在";
    case ERROR_FILE_OFFLINE:
        return L"文件处于脱机状态";
    default:
        return SystemErrorText(error);
    }
}

std::wstring SystemErrorText(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer ? buffer : L"", length);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' ||
                             text.back() == L'.' || text.back() == L'。'))
        text.pop_back();
    return text.empty() ? L"错误 " + std::to_wstring(error) : text;
}

std::wstring StoreWriteFailedText() {
    return L"未能写入记录文件 UserSign.dat，提交已停止；未写入的文件仍在列表中，可再次提交。";
}

std::wstring ComponentNotSavedText() {
    return L"检测组件未能保存其名单；已提交的文件已写入记录文件，下次启动本工具时将补入名单。";
}

std::wstring RemovalFailedText(const std::wstring& name, bool storeFailed,
                               const std::wstring& storePath) {
    const std::wstring cause =
        storeFailed ? L"未能写入记录文件 " + storePath : std::wstring(L"检测组件未能保存其名单");
    return L"未能恢复文件 " + name + L"：" + cause + L"。该文件仍在名单中，可稍后再试。";
}

namespace {

const wchar_t* ListName(SignatureListKind list) {
    return list == kSignatureBlack ? L"黑名单" : L"白名单";
}

} // namespace

std::wstring RemovalNotOnListText(const std::wstring& name, SignatureListKind confirmed,
                                  bool nowTrusted, bool nowBlack) {
    std::wstring where;
    if (nowTrusted && nowBlack)
        where = L"它现在同时在白名单和黑名单中。";
    else if (nowTrusted || nowBlack)
        where = std::wstring(L"它现在在") + (nowBlack ? L"黑名单" : L"白名单") + L"中。";
    else
        where = L"它现在不在任何名单中。";
    return L"文件 " + name + L" 已不在" + ListName(confirmed) + L"中，未作删除。" + where;
}

std::wstring RemovalUnreadText(const std::wstring& name, const std::wstring& storePath) {
    return L"未能恢复文件 " + name + L"：未能读取记录文件 " + storePath +
           L"。该文件仍在名单中，可稍后再试。";
}

std::wstring StartLoadFailedText(const std::wstring& storePath) {
    return L"未能读取记录文件 " + storePath +
           L" 中的全部记录，“已操作文件”中的列表可能不完整。请稍后重新打开本工具。";
}

std::wstring StartReconcileFailedText() {
    return L"未能将记录文件中的名单同步到检测组件（检测组件的名单正被其他程序更新）。"
           L"检测组件的名单可能与记录不一致，下次启动本工具时将再次同步。";
}

std::wstring DropWhileBusyText() {
    return L"上一批文件仍在检查中，本次拖入的文件未被添加。请等待检查结束后再拖入。";
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
