#pragma once
// A window's accessible objects as a screen reader in another process reads
// them: AccessibleObjectFromWindow (OBJID_CLIENT), AccessibleChildren and the
// IAccessible calls, marshalled by the platform's proxies into the program.
//
// A child window in a parent's tree comes as the platform's window object
// (OBJID_WINDOW); a reader goes on to that window's client object, as the
// window object's own children lead on Windows. Wine 8's window object
// answers neither role nor children (E_NOTIMPL), so the walk takes the
// window from the object (WindowFromAccessibleObject) and asks the window
// for its client object itself.

#include <stdexcept>
#include <string>
#include <vector>

#include <windows.h>

#include <oleacc.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

// The names of the states set in `state`, comma separated.
std::wstring StatesText(long state);

// A mismatch or a failed call; the message names the element (UTF-8).
class ReaderFailure : public std::runtime_error {
public:
    explicit ReaderFailure(const std::wstring& message);
};

// What a reader reads of one element.
struct ReaderFacts {
    long role = 0;
    long state = 0;
    std::wstring name;
    std::wstring defaultAction;
    RECT place = {}; // screen coordinates

    bool Has(long states) const { return (state & states) == states; }
    // "pagetab "文件加白" [selected focusable]": role, name and states.
    std::wstring Line() const;
};

// One element: an object of its own (child id CHILDID_SELF) or a simple
// element of its parent object.
class ReaderElement {
public:
    ReaderElement(ComPtr<IAccessible> object, long child)
        : m_object(std::move(object)), m_child(child) {}

    // The client object of a window (OBJID_CLIENT).
    static ReaderElement OfWindow(HWND window);

    ReaderFacts Read() const;
    // The children as AccessibleChildren gives them, a window object
    // replaced by its window's client object (`window` set then).
    struct Child;
    std::vector<Child> Children() const;
    // accDoDefaultAction; a failure names the element.
    void DoDefaultAction() const;
    // The window the object belongs to, as the platform tells it.
    HWND Window() const;

private:
    VARIANT ChildId() const;

    ComPtr<IAccessible> m_object;
    long m_child;
};

struct ReaderElement::Child {
    ReaderElement element;
    HWND window = nullptr;
};

// An element met in a walk: what was read, how deep, whether a reader sees
// it (neither it nor an object above it invisible), and the window it is
// the client of when it was reached through a window object.
struct ReaderEntry {
    ReaderElement element;
    ReaderFacts facts;
    int depth = 0;
    bool shown = true;
    HWND window = nullptr;
};

// Every element under a window's client object, the client first, depth
// first in the order the objects give their children.
std::vector<ReaderEntry> WalkWindow(HWND window);

// The walk as lines, indented by depth; hidden elements are marked.
std::wstring Describe(const std::vector<ReaderEntry>& walk);

// The entries one level below `parent` in the walk.
std::vector<const ReaderEntry*> ChildrenOf(const std::vector<ReaderEntry>& walk,
                                           const ReaderEntry& parent);

// The shown entries of a role and name, in walk order.
std::vector<const ReaderEntry*> FindShown(const std::vector<ReaderEntry>& walk, long role,
                                          const std::wstring& name);
// The single shown entry of a role and name; a failure when there is not
// exactly one.
const ReaderEntry& TheShown(const std::vector<ReaderEntry>& walk, long role,
                            const std::wstring& name);
