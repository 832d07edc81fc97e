// The skin manager's directory from the product's registry key, the
// resource reload, and the observers that dialogs register.

#include "tests/support/GTest.h"
#include "ui/engine/TwStyleTables.h"
#include "ui/engine/TwUiResources.h"
#include "ui/skin/HalcySkinManager.h"
#include "ui/skin/QSkinNotify.h"
#include "ui/skin/TwSkinRegistry.h"
#include "ui/windows/QMsgBoxDlg.h"

namespace {

const wchar_t kKey[] = L"SOFTWARE\\norvale\\Antivirus";

void SetWorkPath(const wchar_t* value) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_SET_VALUE,
                                             nullptr, &key, nullptr));
    RegSetValueExW(key, L"WorkPath", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>((lstrlenW(value) + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

struct CountingObserver : ISkinObserver {
    int changes = 0;
    void OnSkinChanged() override { ++changes; }
};

} // namespace

TEST(SkinManager, SkinDirectoryFollowsTheWorkPath) {
    EXPECT_EQ(L"C:\\Prog\\data\\skin", SkinDirectoryFor(L"C:\\Prog"));
    EXPECT_EQ(L"C:\\Prog\\data\\skin", SkinDirectoryFor(L"C:\\Prog\\"));
    EXPECT_EQ(L"data\\skin", SkinDirectoryFor(nullptr));
    SetWorkPath(L"C:\\Prog");
    EXPECT_EQ(L"C:\\Prog\\data\\skin", ReadSkinDirectory());
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kKey);
    EXPECT_EQ(L"data\\skin", ReadSkinDirectory());
    IStream* stream = reinterpret_cast<IStream*>(1);
    EXPECT_FALSE(HalcySkinManager::Instance().LookupResource(L"png", 201, &stream));
    EXPECT_EQ(nullptr, stream);
}

TEST(SkinManager, ReloadLoadsSkinsAndStylesWithoutAColourDocument) {
    TwSkinRegistry::Instance().Clear();
    ASSERT_TRUE(ReloadUiResources());
    EXPECT_NE(nullptr, GetSkin("main_tab"));
    EXPECT_TRUE(TwStyleTable::Instance().Contains("cmn_common_btn"));
    EXPECT_EQ(nullptr, GetColorSet("cmn_common_btn"));
}

TEST(SkinManager, DialogsRegisterWhileTheyLive) {
    QSkinNotify& notify = QSkinNotify::Instance();
    const std::size_t before = notify.Count();
    CountingObserver observer;
    notify.Add(&observer);
    {
        QMsgBoxDlg box;
        EXPECT_EQ(before + 2, notify.Count());
        ASSERT_NE(nullptr, box.CreateHostWindow(nullptr, nullptr));
        notify.NotifyAll(); // lays the open box out again
    }
    EXPECT_EQ(before + 1, notify.Count());
    EXPECT_EQ(1, observer.changes);
    notify.Remove(&observer);
    notify.Remove(&observer); // absent: ignored
    EXPECT_EQ(before, notify.Count());
}
