// The elements' virtual operations stay in their fixed places: operations
// added later go after them, never between. GCC's member pointer to a
// virtual function holds one plus the byte offset of its vtable entry.

#include <cstddef>
#include <cstring>

#include "tests/support/GTest.h"
#include "ui/engine/CTwWindow.h"

namespace {

struct VirtualMemberPointer {
    std::ptrdiff_t entryPlusOne;
    std::ptrdiff_t thisAdjustment;
};

template <typename Member> std::ptrdiff_t EntryOf(Member member) {
    static_assert(sizeof(member) == sizeof(VirtualMemberPointer));
    VirtualMemberPointer raw;
    std::memcpy(&raw, &member, sizeof(raw));
    return (raw.entryPlusOne - 1) / static_cast<std::ptrdiff_t>(sizeof(void*));
}

} // namespace

TEST(ElementSlots, TheElementOperationsFollowTheObjectOnesInTheirOrder) {
    const std::ptrdiff_t first = EntryOf(&CTwObject::ApplyAttribute) + 1;
    EXPECT_EQ(first + 0, EntryOf(&CTwWindow::ApplyCursor));
    EXPECT_EQ(first + 1, EntryOf(&CTwWindow::ChangeState));
    EXPECT_EQ(first + 2, EntryOf(&CTwWindow::AttachHostWindow));
    EXPECT_EQ(first + 3, EntryOf(&CTwWindow::ElementAt));
    EXPECT_EQ(first + 4, EntryOf(&CTwWindow::RepaintsOnStateChange));
    EXPECT_EQ(first + 5, EntryOf(&CTwWindow::IsContainerKind));
    EXPECT_EQ(first + 6, EntryOf(&CTwWindow::PaintInto));
    EXPECT_EQ(first + 7, EntryOf(&CTwWindow::IsFocusable));
    EXPECT_EQ(first + 8, EntryOf(&CTwWindow::WantsKeyboard));
    EXPECT_EQ(first + 9, EntryOf(&CTwWindow::ProcessWindowMessage));
    // The keyboard's and the readers' operations come after all of them.
    EXPECT_GT(EntryOf(&CTwWindow::KeyboardStops), EntryOf(&CTwWindow::ShowRealWindows));
    EXPECT_GT(EntryOf(&CTwWindow::AccessibleRole), EntryOf(&CTwWindow::ShowRealWindows));
}
