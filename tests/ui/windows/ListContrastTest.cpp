// The file list in high contrast: rows, the selection, the boxes and the
// empty list's picture in the system colours instead of the list's own.

#include "tests/support/HighContrastOverride.h"
#include "tests/ui/windows/FileListFixture.h"
#include "ui/engine/TwHighContrast.h"
#include "ui/windows/ListGeometry.h"

using testsupport::ForcedHighContrast;
using testsupport::InkRgb;

TEST_F(FileList, HighContrastDrawsRowsSelectionBoxesAndTheEmptyListInTheSystemColours) {
    ASSERT_NE(InkRgb(TwContrastInk::Surface), InkRgb(TwContrastInk::Highlight));
    ForcedHighContrast contrast;
    {
        testsupport::DibSurface empty(620, 370);
        Print(empty);
        EXPECT_EQ(InkRgb(TwContrastInk::Surface), empty.At(5, 300));
        // The picture's words and arrow are marks in the text colour.
        int marks = 0;
        for (int y = 100; y < 300; ++y)
            for (int x = 100; x < 520; ++x)
                marks += empty.At(x, y) == InkRgb(TwContrastInk::Text) ? 1 : 0;
        EXPECT_GT(marks, 200);
    }
    AddPending("a");
    AddPending("b");
    Pump();
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageW(m_list.Hwnd(), LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
    testsupport::DibSurface surface(620, 370);
    Print(surface);
    const RECT first = ItemRect(0);
    const RECT second = ItemRect(1);
    EXPECT_EQ(InkRgb(TwContrastInk::Surface), surface.At(250, first.top + 2));
    EXPECT_EQ(InkRgb(TwContrastInk::Highlight), surface.At(250, second.top + 2));
    // The box is the platform's, not the list's blue picture.
    const RECT box = RowBoxRect(first);
    EXPECT_NE(0x1F6FD8u, surface.At(box.left + 6, box.top + 2));
}
