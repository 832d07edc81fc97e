// The message box on the program's layout 102: what each mode shows, what
// the buttons, the close button and Esc answer, and what a reader hears.

#include "layoutview/UiDocuments.h"
#include "tests/support/BoxAnswerer.h"
#include "tests/support/DialogClicks.h"
#include "tests/support/GTest.h"
#include "tests/support/ModalWatchdog.h"
#include "tests/support/WinEventRecorder.h"
#include "ui/windows/QMsgBoxDlg.h"

namespace {

class MsgBox : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(LoadProgramUiDocuments()); }
};

bool Shown(QMsgBoxDlg& box, int id) {
    const CTwWindow* element = box.FindById(id);
    return element && element->IsShown();
}

// Runs a box of `mode` and clicks element `id` in it (2: presses Esc); a
// box the click did not end ends after 5 s with -1.
INT_PTR RunAndClick(int mode, int id) {
    QMsgBoxDlg box;
    box.SetMode(mode);
    testsupport::BoxAnswerer click(id == 2 ? testsupport::BoxAnswerer::kEscapeKey : id);
    testsupport::ModalWatchdog watchdog(box, 5000);
    return box.RunModal();
}

} // namespace

TEST_F(MsgBox, ModesShowTheirTextIconAndButtons) {
    QMsgBoxDlg box;
    box.SetMode(BoxMode::kAlreadyListed);
    box.SetText(L"a.exe");
    ASSERT_NE(nullptr, box.CreateHostWindow(nullptr, nullptr));
    EXPECT_EQ(L"您选择的内容：a.exe已经存在！", box.FindById(202)->Text());
    EXPECT_EQ(100, box.FindById(202)->Rect().left);
    EXPECT_TRUE(Shown(box, 302));
    EXPECT_FALSE(Shown(box, 300) || Shown(box, 301) || Shown(box, 303));
    EXPECT_TRUE(Shown(box, 103));
    EXPECT_FALSE(Shown(box, 101) || Shown(box, 102) || Shown(box, 104));

    QMsgBoxDlg question;
    question.SetMode(BoxMode::kRemoveTrusted);
    ASSERT_NE(nullptr, question.CreateHostWindow(nullptr, nullptr));
    EXPECT_TRUE(Shown(question, 300));
    EXPECT_TRUE(Shown(question, 102) && Shown(question, 101));
    EXPECT_FALSE(Shown(question, 103) || Shown(question, 104));
    EXPECT_LT(question.FindById(102)->Rect().left, question.FindById(101)->Rect().left);

    QMsgBoxDlg raw; // a mode outside the table leaves the layout as it is
    raw.SetMode(5);
    ASSERT_NE(nullptr, raw.CreateHostWindow(nullptr, nullptr));
    for (const int id : {300, 301, 302, 303, 101, 102, 103, 104})
        EXPECT_TRUE(Shown(raw, id)) << id;
    EXPECT_TRUE(raw.FindById(202)->Text().empty());
    EXPECT_EQ(nullptr, FindMsgBoxMode(5));
    EXPECT_EQ(L"x", MsgBoxMessage(*FindMsgBoxMode(BoxMode::kNotice), L"x"));
}

TEST_F(MsgBox, TheBoxsOwnMessageShowsANewModeAndTextWhileItIsOpen) {
    QMsgBoxDlg box;
    box.SetMode(BoxMode::kAlreadyListed);
    box.SetText(L"a.exe");
    ASSERT_NE(nullptr, box.CreateHostWindow(nullptr, nullptr));
    SendMessageW(box.Hwnd(), MsgBoxUpdateMessage(), 12, 0);
    EXPECT_EQ(12, box.Mode());
    EXPECT_EQ(MsgBoxMessage(*FindMsgBoxMode(BoxMode::kRemoveTrusted), L""),
              box.FindById(202)->Text());
    EXPECT_TRUE(Shown(box, 300) && Shown(box, 102) && Shown(box, 101));
    EXPECT_FALSE(Shown(box, 302) || Shown(box, 103));

    SendMessageW(box.Hwnd(), MsgBoxUpdateMessage(), 8, reinterpret_cast<LPARAM>(L"done"));
    EXPECT_EQ(L"done", box.FindById(202)->Text());
    EXPECT_EQ(90, box.FindById(202)->Rect().left);
    EXPECT_TRUE(Shown(box, 301) && Shown(box, 103));
    EXPECT_FALSE(Shown(box, 300) || Shown(box, 101) || Shown(box, 102));
}

TEST_F(MsgBox, ButtonsCloseAndEscapeAnswer) {
    EXPECT_EQ(1, RunAndClick(12, 102));
    EXPECT_EQ(2, RunAndClick(12, 101));
    EXPECT_EQ(2, RunAndClick(12, 100)); // the close button
    EXPECT_EQ(1, RunAndClick(1, 103));
    EXPECT_EQ(2, RunAndClick(13, 2)); // Esc
}

TEST_F(MsgBox, AReaderHearsTheMessageAsTheBoxOpens) {
    testsupport::WinEventRecorder alerts(EVENT_SYSTEM_ALERT, EVENT_SYSTEM_ALERT,
                                         GetCurrentProcessId(), GetCurrentThreadId());
    ASSERT_TRUE(alerts.Hooked());
    QMsgBoxDlg box;
    box.SetMode(BoxMode::kRemoveTrusted);
    testsupport::BoxAnswerer answer;
    HWND view = nullptr;
    LONG message = 0;
    answer.WhileAsking([&] {
        view = box.View().Hwnd();
        message = static_cast<LONG>(box.FindById(202)->Handle());
    });
    testsupport::ModalWatchdog watchdog(box, 5000);
    EXPECT_EQ(1, box.RunModal());
    ASSERT_NE(nullptr, view);
    // Opened as the program opens its boxes: shown by the modal run itself.
    const std::vector<testsupport::HeardEvent> heard = alerts.Of(EVENT_SYSTEM_ALERT);
    ASSERT_EQ(1u, heard.size());
    EXPECT_EQ(view, heard[0].window);
    EXPECT_EQ(OBJID_CLIENT, heard[0].object);
    EXPECT_EQ(message, heard[0].child);
}
