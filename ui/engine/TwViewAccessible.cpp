#include "ui/engine/TwViewAccessible.h"

#include <cstring>

#include "common/TextConvert.h"
#include "ui/engine/CTwDialogView.h"
#include "ui/engine/CTwRealWnd.h"
#include "ui/engine/CTwRichText.h"
#include "ui/engine/CTwTabCtrl.h"

namespace {

constexpr long kPartBit = 0x40000000;
constexpr int kPartBits = 6;
constexpr long kPartMask = (1L << kPartBits) - 1;

bool IsPart(long node) {
    return (node & kPartBit) != 0;
}

bool IsTag(const CTwWindow& element, const char* tag) {
    return std::strcmp(element.TagName(), tag) == 0;
}

// How many parts an element shows to readers: tab headers or links.
int PartCount(const CTwWindow& element) {
    if (IsTag(element, "tabctrl"))
        return static_cast<const CTwTabCtrl&>(element).TabCount();
    if (IsTag(element, "richtext"))
        return static_cast<int>(static_cast<const CTwRichText&>(element).Links().size());
    return 0;
}

void CollectTold(const CTwWindow& element, std::vector<long>& out) {
    if (element.AccessibleRole() != 0)
        out.push_back(static_cast<long>(element.Handle()));
    if (!element.IsContainerKind() || element.IsOneControl())
        return;
    for (const auto& child : static_cast<const CTwContainerWnd&>(element).Children())
        CollectTold(*child, out);
}

std::wstring DefaultActionOf(long role, bool checked) {
    switch (role) {
    case ROLE_SYSTEM_PUSHBUTTON:
        return L"按下";
    case ROLE_SYSTEM_CHECKBUTTON:
        return checked ? L"取消选中" : L"选中";
    case ROLE_SYSTEM_RADIOBUTTON:
        return L"选中";
    case ROLE_SYSTEM_LINK:
        return L"单击";
    case ROLE_SYSTEM_PAGETAB:
        return L"切换";
    default:
        return std::wstring();
    }
}

} // namespace

long AccessibleNodeOfPart(TwHandle element, int part) {
    return kPartBit | (static_cast<long>(element) << kPartBits) | (part & kPartMask);
}

long AccessibleNodeOfStop(const TwFocusStop& stop) {
    const CTwWindow* element = ResolveElement(stop.element);
    if (!element)
        return 0;
    if (IsTag(*element, "tabctrl"))
        return AccessibleNodeOfPart(stop.element,
                                    static_cast<const CTwTabCtrl*>(element)->CurrentTab());
    if (IsTag(*element, "richtext"))
        return AccessibleNodeOfPart(stop.element, stop.part);
    return static_cast<long>(stop.element);
}

HWND TwViewAccessible::Window() const {
    return m_view.Hwnd();
}

CTwWindow* TwViewAccessible::ElementOf(long node, int& part) const {
    part = -1;
    TwHandle handle = static_cast<TwHandle>(node);
    if (IsPart(node)) {
        part = static_cast<int>(node & kPartMask);
        handle = static_cast<TwHandle>((node & ~kPartBit) >> kPartBits);
    }
    CTwWindow* element = node > 0 ? ResolveElement(handle) : nullptr;
    if (!element || element->HostWindow() != m_view.Hwnd() || element->AccessibleRole() == 0)
        return nullptr;
    if (part >= PartCount(*element))
        return nullptr;
    return element;
}

bool TwViewAccessible::Exists(long node) const {
    int part = 0;
    return node == 0 || ElementOf(node, part) != nullptr;
}

std::vector<long> TwViewAccessible::Children(long node) const {
    std::vector<long> children;
    if (node == 0) {
        for (const CTwDialog* section : m_view.LoadedSections())
            CollectTold(*section, children);
        return children;
    }
    int part = 0;
    const CTwWindow* element = ElementOf(node, part);
    if (!element || part >= 0)
        return children;
    const int parts = PartCount(*element);
    for (int i = 0; i < parts; ++i) {
        if (IsTag(*element, "tabctrl") &&
            static_cast<const CTwTabCtrl*>(element)->Page(i)->IsHidden())
            continue;
        children.push_back(AccessibleNodeOfPart(element->Handle(), i));
    }
    return children;
}

long TwViewAccessible::ParentOf(long node) const {
    if (node == 0)
        return -1;
    if (IsPart(node))
        return static_cast<long>((node & ~kPartBit) >> kPartBits);
    return 0;
}

long TwViewAccessible::ChildCount(long node) const {
    return static_cast<long>(Children(node).size());
}

long TwViewAccessible::ChildAt(long node, long index) const {
    const std::vector<long> children = Children(node);
    return index >= 0 && index < static_cast<long>(children.size())
               ? children[static_cast<std::size_t>(index)]
               : -1;
}

long TwViewAccessible::IndexOf(long node) const {
    const long parent = ParentOf(node);
    if (parent < 0)
        return -1;
    const std::vector<long> siblings = Children(parent);
    for (std::size_t i = 0; i < siblings.size(); ++i) {
        if (siblings[i] == node)
            return static_cast<long>(i);
    }
    return -1;
}

bool TwViewAccessible::IsContainer(long node) const {
    return node == 0 || (!IsPart(node) && ChildCount(node) > 0);
}

HWND TwViewAccessible::WindowOf(long node) const {
    int part = 0;
    const CTwWindow* element = ElementOf(node, part);
    if (!element || part >= 0 || !IsTag(*element, "realwnd"))
        return nullptr;
    return static_cast<const CTwRealWnd*>(element)->RealWindow();
}

RECT TwViewAccessible::ScreenRect(RECT rect) const {
    MapWindowPoints(m_view.Hwnd(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool TwViewAccessible::Describe(long node, AccessibleFacts& facts) const {
    facts = AccessibleFacts();
    const long focused = FocusedNode();
    if (node == 0) {
        const bool appWindow = (m_view.WindowStyle().exStyle & WS_EX_APPWINDOW) != 0;
        facts.role = appWindow ? ROLE_SYSTEM_CLIENT : ROLE_SYSTEM_DIALOG;
        facts.name = Utf8ToWide(m_view.WindowStyle().title);
        facts.state = STATE_SYSTEM_FOCUSABLE | (focused == 0 ? STATE_SYSTEM_FOCUSED : 0);
        RECT client = {};
        GetClientRect(m_view.Hwnd(), &client);
        facts.screen = ScreenRect(client);
        return true;
    }
    int part = 0;
    const CTwWindow* element = ElementOf(node, part);
    if (!element)
        return false;
    long state = 0;
    if (!element->IsShown())
        state |= STATE_SYSTEM_INVISIBLE;
    if (element->IsDisabled())
        state |= STATE_SYSTEM_UNAVAILABLE;
    RECT client = {};
    GetClientRect(m_view.Hwnd(), &client);
    RECT rect = part >= 0 ? element->StopRect(part) : element->Rect();
    if (IsTag(*element, "tabctrl") && part >= 0)
        rect = static_cast<const CTwTabCtrl*>(element)->HeaderRect(part);
    RECT visible = {};
    if (!IntersectRect(&visible, &rect, &client))
        state |= STATE_SYSTEM_OFFSCREEN;
    if (node == focused)
        state |= STATE_SYSTEM_FOCUSED;
    if (part >= 0 && IsTag(*element, "tabctrl")) {
        const auto& tabs = static_cast<const CTwTabCtrl&>(*element);
        facts.role = ROLE_SYSTEM_PAGETAB;
        facts.name = tabs.Page(part)->Title();
        state |= STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTABLE;
        if (part == tabs.CurrentTab())
            state |= STATE_SYSTEM_SELECTED;
    } else if (part >= 0) {
        facts.role = ROLE_SYSTEM_LINK;
        facts.name =
            static_cast<const CTwRichText&>(*element).Links()[static_cast<std::size_t>(part)].text;
        state |= STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_LINKED;
    } else {
        facts.role = element->AccessibleRole();
        facts.name = element->AccessibleName();
        if (element->Tip() != facts.name)
            facts.description = element->Tip();
        if (element->KeyboardStops() > 0 && facts.role != ROLE_SYSTEM_STATICTEXT)
            state |= STATE_SYSTEM_FOCUSABLE;
        const bool checkable =
            facts.role == ROLE_SYSTEM_CHECKBUTTON || facts.role == ROLE_SYSTEM_RADIOBUTTON;
        if (checkable && element->Has(kTwChecked))
            state |= STATE_SYSTEM_CHECKED;
        if (element->Has(kTwHover))
            state |= STATE_SYSTEM_HOTTRACKED;
        if (element->Has(kTwPushed))
            state |= STATE_SYSTEM_PRESSED;
    }
    facts.state = state;
    if (!(state & STATE_SYSTEM_UNAVAILABLE))
        facts.defaultAction = DefaultActionOf(facts.role, (state & STATE_SYSTEM_CHECKED) != 0);
    facts.screen = ScreenRect(rect);
    return true;
}

long TwViewAccessible::NodeAt(POINT screen) const {
    POINT point = screen;
    ScreenToClient(m_view.Hwnd(), &point);
    RECT client = {};
    GetClientRect(m_view.Hwnd(), &client);
    if (!PtInRect(&client, point))
        return -1;
    long best = 0;
    long long bestArea = -1;
    for (const long element : Children(0)) {
        for (const long node :
             Children(element).empty() ? std::vector<long>{element} : Children(element)) {
            AccessibleFacts facts;
            if (!Describe(node, facts) || (facts.state & STATE_SYSTEM_INVISIBLE))
                continue;
            RECT rect = facts.screen;
            if (!PtInRect(&rect, screen))
                continue;
            const long long area =
                static_cast<long long>(rect.right - rect.left) * (rect.bottom - rect.top);
            if (bestArea < 0 || area < bestArea) {
                best = node;
                bestArea = area;
            }
        }
    }
    return best;
}

long TwViewAccessible::FocusedNode() const {
    HWND focus = GetFocus();
    HWND view = m_view.Hwnd();
    if (!focus || !view)
        return -1;
    const TwFocusStop stop = m_view.Focus().Current();
    if (focus == view)
        return stop.IsNone() ? 0 : AccessibleNodeOfStop(stop);
    if (IsChild(view, focus) && !stop.IsNone())
        return static_cast<long>(stop.element); // a real window: its own object
    return -1;
}

bool TwViewAccessible::DoDefaultAction(long node) {
    AccessibleFacts facts;
    if (node == 0 || !Describe(node, facts) || facts.defaultAction.empty())
        return false;
    PostMessageW(m_view.Hwnd(), kTwRunAccessibleAction, 0, static_cast<LPARAM>(node));
    return true;
}

void TwViewAccessible::RunPostedAction(long node) {
    int part = 0;
    CTwWindow* element = ElementOf(node, part);
    if (!element)
        return;
    if (IsTag(*element, "tabctrl")) {
        if (part >= 0)
            static_cast<CTwTabCtrl*>(element)->SelectTab(part);
        return;
    }
    m_view.Focus().Activate(TwFocusStop{element->Handle(), part < 0 ? 0 : part});
}

bool TwViewAccessible::Select(long node, long flags) {
    int part = 0;
    CTwWindow* element = ElementOf(node, part);
    if (!element || element->IsDisabled() || !element->IsShown())
        return false;
    const bool tabs = IsTag(*element, "tabctrl");
    if ((flags & SELFLAG_TAKESELECTION) && tabs && part >= 0)
        static_cast<CTwTabCtrl*>(element)->SelectTab(part);
    if (flags & SELFLAG_TAKEFOCUS) {
        if (element->KeyboardStops() == 0)
            return false;
        m_view.Focus().Set(TwFocusStop{element->Handle(), tabs || part < 0 ? 0 : part});
    }
    return true;
}
