#pragma once
// What a window drawn by the tool tells screen readers. A window describes
// its content as a tree of nodes (IAccessibleTree: node 0 is the window's
// client area, every other node an element, a row, a link, ...), and
// AnswerGetObject hands out IAccessible objects over that tree in reply to
// WM_GETOBJECT. A node with children is an object of its own; a node without
// is a simple element of its parent's object, addressed by its node id as
// the child id; a node that is a real window is that window's own object.
// Objects outlive nothing: once the window forgets its tree (Disconnect),
// every call on an object still held by a reader fails cleanly.

#include <memory>
#include <string>

#include <windows.h>

#include <oleacc.h>

// The facts of one node. `screen` is in screen coordinates.
struct AccessibleFacts {
    long role = ROLE_SYSTEM_CLIENT;
    long state = 0;
    std::wstring name;
    std::wstring value;
    std::wstring description;
    std::wstring defaultAction;
    std::wstring shortcut;
    RECT screen = {};
};

// Called on the window's thread only (the objects are made there and COM
// brings every reader's call to it).
class IAccessibleTree {
public:
    virtual HWND Window() const = 0;
    virtual bool Exists(long node) const = 0;
    // -1 for the root.
    virtual long ParentOf(long node) const = 0;
    virtual long ChildCount(long node) const = 0;
    // The child at `index` (0-based), -1 past the end.
    virtual long ChildAt(long node, long index) const = 0;
    // The place of `node` among its parent's children, -1 when unknown.
    virtual long IndexOf(long node) const = 0;
    virtual bool Describe(long node, AccessibleFacts& facts) const = 0;
    // A real window that stands for the node, null for a drawn node.
    virtual HWND WindowOf(long) const { return nullptr; }
    // Whether the node is an object of its own (it may have children).
    virtual bool IsContainer(long node) const { return ChildCount(node) > 0; }
    // The deepest node under a screen point, 0 for the client itself, -1
    // outside the window.
    virtual long NodeAt(POINT screen) const = 0;
    // The node with the keyboard focus, -1 when the focus is elsewhere.
    virtual long FocusedNode() const = 0;
    // The selected node, -1 for none.
    virtual long SelectedNode() const { return -1; }
    // What a click on the node does; false when it has no default action.
    virtual bool DoDefaultAction(long node) = 0;
    // SELFLAG_TAKEFOCUS and the like; false when the node cannot.
    virtual bool Select(long, long) { return false; }

protected:
    ~IAccessibleTree() = default;
};

// The link between a window and the objects it handed out: the window
// clears it when it goes.
class AccessibleAnchor {
public:
    explicit AccessibleAnchor(IAccessibleTree* tree) : m_tree(tree) {}
    IAccessibleTree* Tree() const { return m_tree; }
    void Disconnect() { m_tree = nullptr; }

private:
    IAccessibleTree* m_tree;
};

using AccessibleAnchorPtr = std::shared_ptr<AccessibleAnchor>;

// The object of one container node (addref'd), null when out of memory.
IAccessible* MakeAccessibleObject(const AccessibleAnchorPtr& anchor, long node);

// The reply to WM_GETOBJECT: the root object for OBJID_CLIENT, 0 (let the
// platform answer) for everything else.
LRESULT AnswerGetObject(const AccessibleAnchorPtr& anchor, WPARAM wparam, LPARAM lparam);

// A WinEvent about a node of the window's client tree (node 0: the client);
// nothing is raised while no hook listens for the event.
void RaiseAccessibleEvent(DWORD event, HWND window, long node);
