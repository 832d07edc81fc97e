// Where the driver clicks: the centres of elements as LayoutPlaces finds
// them in its hidden dialog hit those elements in a shown dialog of the
// same layout, by mouse messages to its view and by real input at the
// screen point the driver computes.

#include <vector>

#include "bench/window/LayoutPlaces.h"
#include "bench/window/MouseClicks.h"
#include "bench/window/ProgramWindows.h"
#include "tests/support/GTest.h"
#include "ui/engine/CTwTabCtrl.h"
#include "ui/engine/TwNotifyRecords.h"

namespace {

// A shown dialog of a program layout that records what its view reports.
class RecordingDialog : public CTwDialogHost {
public:
    struct Note {
        UINT code;
        int itemId;
        int newTab;
    };

    explicit RecordingDialog(int layoutId) : m_layoutId(layoutId) {
        if (CreateHostWindow(nullptr, nullptr)) {
            SetWindowPos(Hwnd(), HWND_TOPMOST, 200, 150, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
            Pump();
        }
    }

    const std::vector<Note>& Notes() const { return m_notes; }
    bool Clicked(int id) const {
        for (const Note& note : m_notes) {
            if (note.code == kTwClick && note.itemId == id)
                return true;
        }
        return false;
    }

    void SendClick(POINT at) {
        const LPARAM where = MAKELPARAM(at.x, at.y);
        HWND view = View().Hwnd();
        SendMessageW(view, WM_MOUSEMOVE, 0, where);
        SendMessageW(view, WM_LBUTTONDOWN, MK_LBUTTON, where);
        SendMessageW(view, WM_LBUTTONUP, 0, where);
    }

    void Pump() {
        for (int i = 0; i < 10; ++i) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            Sleep(10);
        }
    }

protected:
    int LayoutResourceId() const override { return m_layoutId; }
    bool OnViewNotify(NMHDR& header, LRESULT&) override {
        const auto& item = reinterpret_cast<const TwItemNotify&>(header);
        const int newTab = header.code == kTwTabChange
                               ? reinterpret_cast<const TwTabChangeNotify&>(header).newIndex
                               : -1;
        m_notes.push_back(Note{header.code, item.itemId, newTab});
        return false;
    }

private:
    int m_layoutId;
    std::vector<Note> m_notes;
};

class LayoutPlacesTest : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(LoadProgramUiDocumentsOnce()); }
};

} // namespace

TEST_F(LayoutPlacesTest, MainWindowElementsLieInTheWindowAndTakeClicksAtTheirCentres) {
    LayoutPlaces places(101);
    const std::optional<RECT> ok = places.ElementRect(106);
    const std::optional<RECT> close = places.ElementRect(102);
    const std::optional<RECT> summary = places.ElementRect(501);
    ASSERT_TRUE(ok && close && summary);
    // The OK button sits in the footer's right end, the close button in
    // the header's: the layout at its full 640 x 475.
    EXPECT_GT(ok->left, 320);
    EXPECT_LE(ok->right, 640);
    EXPECT_GT(ok->top, 400);
    EXPECT_LT(close->bottom, 65);
    EXPECT_GT(close->left, 600);
    EXPECT_FALSE(places.ElementRect(9999));

    RecordingDialog dialog(101);
    ASSERT_TRUE(dialog.Hwnd());
    dialog.SendClick(CentreOf(*ok));
    EXPECT_TRUE(dialog.Clicked(106));
    EXPECT_FALSE(dialog.Clicked(102));
}

TEST_F(LayoutPlacesTest, TheThirdTabHeaderSwitchesToTheThirdTab) {
    LayoutPlaces places(101);
    const std::optional<RECT> header = places.TabHeaderRect(103, 2);
    ASSERT_TRUE(header);
    EXPECT_FALSE(places.TabHeaderRect(103, 3));
    EXPECT_FALSE(places.TabHeaderRect(106, 0)); // not a tab control

    RecordingDialog dialog(101);
    ASSERT_TRUE(dialog.Hwnd());
    dialog.SendClick(CentreOf(*header));
    bool switched = false;
    for (const RecordingDialog::Note& note : dialog.Notes())
        switched = switched || (note.code == kTwTabChange && note.newTab == 2);
    EXPECT_TRUE(switched);
    const auto* tabs = dynamic_cast<CTwTabCtrl*>(dialog.FindById(103));
    ASSERT_TRUE(tabs);
    EXPECT_EQ(2, tabs->CurrentTab());
}

TEST_F(LayoutPlacesTest, MessageBoxOkTakesAClickAtItsCentre) {
    LayoutPlaces places(102);
    const std::optional<RECT> ok = places.ElementRect(102);
    ASSERT_TRUE(ok);
    RecordingDialog box(102);
    ASSERT_TRUE(box.Hwnd());
    box.SendClick(CentreOf(*ok));
    EXPECT_TRUE(box.Clicked(102));
    EXPECT_FALSE(box.Clicked(101));
}

TEST_F(LayoutPlacesTest, RealInputAtTheScreenPointClicksTheElement) {
    LayoutPlaces places(101);
    const std::optional<RECT> ok = places.ElementRect(106);
    ASSERT_TRUE(ok);
    RecordingDialog dialog(101);
    ASSERT_TRUE(dialog.Hwnd());
    const POINT onScreen = ClientToScreenPoint(dialog.View().Hwnd(), CentreOf(*ok));
    ASSERT_TRUE(ClickAtScreen(onScreen));
    dialog.Pump();
    EXPECT_TRUE(dialog.Clicked(106));
}
