#pragma once
// A view's layout as screen readers see it. Node 0 is the dialog, named by
// its title; its children are the elements that have a role, in document
// order at every depth (containers without a role are not shown); the tab
// control holds its tab headers, a paragraph its links, and a realwnd
// element is its window's own object. An element's node id is its registry
// handle; a tab header or a link is its element's handle with its index.

#include <string>
#include <vector>

#include "ui/engine/TwAccessible.h"
#include "ui/engine/TwKeyboardFocus.h"

class CTwDialogView;
class CTwWindow;

// The node of a focus stop, of an element's part (a tab header, a link).
long AccessibleNodeOfStop(const TwFocusStop& stop);
long AccessibleNodeOfPart(TwHandle element, int part);

class TwViewAccessible : public IAccessibleTree {
public:
    explicit TwViewAccessible(CTwDialogView& view) : m_view(view) {}
    TwViewAccessible(const TwViewAccessible&) = delete;
    TwViewAccessible& operator=(const TwViewAccessible&) = delete;

    HWND Window() const override;
    bool Exists(long node) const override;
    long ParentOf(long node) const override;
    long ChildCount(long node) const override;
    long ChildAt(long node, long index) const override;
    long IndexOf(long node) const override;
    bool Describe(long node, AccessibleFacts& facts) const override;
    HWND WindowOf(long node) const override;
    bool IsContainer(long node) const override;
    long NodeAt(POINT screen) const override;
    long FocusedNode() const override;
    bool DoDefaultAction(long node) override;
    bool Select(long node, long flags) override;

    // The default action asked for by a reader, done later on the view's
    // thread (the reader's call returns first, as the platform's own
    // controls do it: the action may open a modal box).
    void RunPostedAction(long node);

private:
    std::vector<long> Children(long node) const;
    // The element of a node and, for a part, its index (-1 for the element).
    CTwWindow* ElementOf(long node, int& part) const;
    RECT ScreenRect(RECT rect) const;

    CTwDialogView& m_view;
};
