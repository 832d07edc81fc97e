#include "tests/e2e/ReaderTree.h"

#include <cwchar>
#include <utility>

#include "common/TextConvert.h"
#include "tests/support/ChildVariant.h"

namespace {

using testsupport::ChildVariant;

// A VARIANT cleared when it goes.
class HeldVariant {
public:
    HeldVariant() { VariantInit(&m_value); }
    ~HeldVariant() { VariantClear(&m_value); }
    HeldVariant(const HeldVariant&) = delete;
    HeldVariant& operator=(const HeldVariant&) = delete;
    VARIANT* Out() { return &m_value; }
    const VARIANT& Get() const { return m_value; }

private:
    VARIANT m_value;
};

// The VARIANTs AccessibleChildren fills, each cleared when they go.
class HeldVariants {
public:
    explicit HeldVariants(std::size_t count) : m_values(count) {
        for (VARIANT& value : m_values)
            VariantInit(&value);
    }
    ~HeldVariants() {
        for (VARIANT& value : m_values)
            VariantClear(&value);
    }
    HeldVariants(const HeldVariants&) = delete;
    HeldVariants& operator=(const HeldVariants&) = delete;
    VARIANT* Data() { return m_values.data(); }
    const VARIANT& operator[](std::size_t index) const { return m_values[index]; }

private:
    std::vector<VARIANT> m_values;
};

// A BSTR freed when it goes.
class HeldText {
public:
    HeldText() = default;
    ~HeldText() { SysFreeString(m_text); }
    HeldText(const HeldText&) = delete;
    HeldText& operator=(const HeldText&) = delete;
    BSTR* Out() { return &m_text; }
    std::wstring Get() const { return m_text ? std::wstring(m_text, SysStringLen(m_text)) : L""; }

private:
    BSTR m_text = nullptr;
};

std::wstring Hex(long value) {
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%08lx", static_cast<unsigned long>(value));
    return text;
}

// Names of the roles and states the program's elements have, for the lines
// printed (the platform's own texts are in the system's language).
const std::pair<long, const wchar_t*> kRoleNames[] = {
    {ROLE_SYSTEM_CLIENT, L"client"},
    {ROLE_SYSTEM_DIALOG, L"dialog"},
    {ROLE_SYSTEM_WINDOW, L"window"},
    {ROLE_SYSTEM_STATICTEXT, L"text"},
    {ROLE_SYSTEM_PUSHBUTTON, L"button"},
    {ROLE_SYSTEM_CHECKBUTTON, L"check box"},
    {ROLE_SYSTEM_PAGETABLIST, L"tab list"},
    {ROLE_SYSTEM_PAGETAB, L"tab"},
    {ROLE_SYSTEM_LIST, L"list"},
    {ROLE_SYSTEM_LISTITEM, L"list item"},
    {ROLE_SYSTEM_LINK, L"link"},
    {ROLE_SYSTEM_OUTLINEBUTTON, L"outline button"},
    {ROLE_SYSTEM_GRAPHIC, L"graphic"}};
const std::pair<long, const wchar_t*> kStateNames[] = {{STATE_SYSTEM_UNAVAILABLE, L"unavailable"},
                                                       {STATE_SYSTEM_SELECTED, L"selected"},
                                                       {STATE_SYSTEM_FOCUSED, L"focused"},
                                                       {STATE_SYSTEM_PRESSED, L"pressed"},
                                                       {STATE_SYSTEM_CHECKED, L"checked"},
                                                       {STATE_SYSTEM_HOTTRACKED, L"hot"},
                                                       {STATE_SYSTEM_EXPANDED, L"expanded"},
                                                       {STATE_SYSTEM_COLLAPSED, L"collapsed"},
                                                       {STATE_SYSTEM_INVISIBLE, L"invisible"},
                                                       {STATE_SYSTEM_OFFSCREEN, L"offscreen"},
                                                       {STATE_SYSTEM_FOCUSABLE, L"focusable"},
                                                       {STATE_SYSTEM_SELECTABLE, L"selectable"},
                                                       {STATE_SYSTEM_LINKED, L"linked"}};

std::wstring RoleName(long role) {
    for (const auto& [number, text] : kRoleNames) {
        if (number == role)
            return text;
    }
    return L"role " + std::to_wstring(role);
}

long KnownStates() {
    long known = 0;
    for (const auto& named : kStateNames)
        known |= named.first;
    return known;
}

void Check(HRESULT hr, const std::wstring& call) {
    if (FAILED(hr))
        throw ReaderFailure(call + L" failed with " + Hex(hr));
}

// Whether an object is the platform's object of a child window: Windows'
// says ROLE_SYSTEM_WINDOW, Wine 8's answers no role at all (E_NOTIMPL).
bool IsWindowObject(IAccessible& object) {
    HeldVariant role;
    const HRESULT hr = object.get_accRole(ChildVariant(CHILDID_SELF), role.Out());
    return hr == E_NOTIMPL ||
           (SUCCEEDED(hr) && role.Get().vt == VT_I4 && role.Get().lVal == ROLE_SYSTEM_WINDOW);
}

ReaderElement::Child ChildOf(const ComPtr<IAccessible>& parent, const VARIANT& child) {
    if (child.vt == VT_I4)
        return {ReaderElement(parent, child.lVal), nullptr};
    ComPtr<IAccessible> object;
    if (child.vt != VT_DISPATCH || !child.pdispVal ||
        FAILED(child.pdispVal->QueryInterface(IID_PPV_ARGS(&object))))
        throw ReaderFailure(L"a child of variant type " + std::to_wstring(child.vt) +
                            L" that is no IAccessible");
    if (!IsWindowObject(*object.Get()))
        return {ReaderElement(object, CHILDID_SELF), nullptr};
    HWND window = nullptr;
    Check(WindowFromAccessibleObject(object.Get(), &window), L"WindowFromAccessibleObject");
    return {ReaderElement::OfWindow(window), window};
}

void Walk(const ReaderElement& element, int depth, bool shownAbove, HWND window,
          std::vector<ReaderEntry>& out) {
    ReaderEntry entry{element, element.Read(), depth, false, window};
    entry.shown = shownAbove && !entry.facts.Has(STATE_SYSTEM_INVISIBLE);
    const bool shown = entry.shown;
    out.push_back(std::move(entry));
    for (const ReaderElement::Child& child : element.Children())
        Walk(child.element, depth + 1, shown, child.window, out);
}

} // namespace

ReaderFailure::ReaderFailure(const std::wstring& message)
    : std::runtime_error(WideToUtf8(message)) {}

std::wstring StatesText(long state) {
    std::wstring text;
    for (const auto& [bit, name] : kStateNames) {
        if (state & bit)
            text += (text.empty() ? L"" : L", ") + std::wstring(name);
    }
    if (const long other = state & ~KnownStates())
        text += (text.empty() ? L"" : L", ") + Hex(other);
    return text;
}

std::wstring ReaderFacts::Line() const {
    const std::wstring line = RoleName(role) + L" \"" + name + L"\"";
    const std::wstring states = StatesText(state);
    return states.empty() ? line : line + L" [" + states + L"]";
}

ReaderElement ReaderElement::OfWindow(HWND window) {
    ComPtr<IAccessible> object;
    Check(
        AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_PPV_ARGS(&object)),
        L"AccessibleObjectFromWindow(" + Hex(static_cast<long>(reinterpret_cast<INT_PTR>(window))) +
            L", OBJID_CLIENT)");
    return ReaderElement(object, CHILDID_SELF);
}

ReaderFacts ReaderElement::Read() const {
    const VARIANT id = ChildVariant(m_child);
    const std::wstring who = L"child " + std::to_wstring(m_child) + L": ";
    ReaderFacts facts;
    HeldVariant role;
    HeldVariant state;
    Check(m_object->get_accRole(id, role.Out()), who + L"get_accRole");
    Check(m_object->get_accState(id, state.Out()), who + L"get_accState");
    if (role.Get().vt != VT_I4 || state.Get().vt != VT_I4)
        throw ReaderFailure(who + L"a role or state that is no number");
    facts.role = role.Get().lVal;
    facts.state = state.Get().lVal;
    HeldText name;
    HeldText action;
    Check(m_object->get_accName(id, name.Out()), who + L"get_accName");
    facts.name = name.Get();
    // Elements without an action answer DISP_E_MEMBERNOTFOUND or S_FALSE.
    if (SUCCEEDED(m_object->get_accDefaultAction(id, action.Out())))
        facts.defaultAction = action.Get();
    long left = 0, top = 0, width = 0, height = 0;
    Check(m_object->accLocation(&left, &top, &width, &height, id),
          who + L"accLocation of \"" + facts.name + L"\"");
    facts.place = RECT{left, top, left + width, top + height};
    return facts;
}

std::vector<ReaderElement::Child> ReaderElement::Children() const {
    std::vector<Child> children;
    if (m_child != CHILDID_SELF)
        return children; // a simple element has none
    long count = 0;
    Check(m_object->get_accChildCount(&count), L"get_accChildCount");
    if (count <= 0)
        return children;
    HeldVariants got(static_cast<std::size_t>(count));
    long fetched = 0;
    Check(AccessibleChildren(m_object.Get(), 0, count, got.Data(), &fetched),
          L"AccessibleChildren");
    if (fetched != count)
        throw ReaderFailure(L"AccessibleChildren gave " + std::to_wstring(fetched) + L" of " +
                            std::to_wstring(count) + L" children");
    for (std::size_t i = 0; i < static_cast<std::size_t>(fetched); ++i)
        children.push_back(ChildOf(m_object, got[i]));
    return children;
}

void ReaderElement::DoDefaultAction() const {
    const HRESULT hr = m_object->accDoDefaultAction(ChildVariant(m_child));
    if (hr != S_OK)
        throw ReaderFailure(L"accDoDefaultAction of " + Read().Line() + L" answered " + Hex(hr));
}

HWND ReaderElement::Window() const {
    HWND window = nullptr;
    Check(WindowFromAccessibleObject(m_object.Get(), &window), L"WindowFromAccessibleObject");
    return window;
}

std::vector<ReaderEntry> WalkWindow(HWND window) {
    std::vector<ReaderEntry> walk;
    Walk(ReaderElement::OfWindow(window), 0, true, window, walk);
    return walk;
}

std::wstring Describe(const std::vector<ReaderEntry>& walk) {
    std::wstring text;
    for (const ReaderEntry& entry : walk) {
        text += std::wstring(static_cast<std::size_t>(2 + 2 * entry.depth), L' ');
        text += entry.facts.Line();
        if (entry.window)
            text += L" (window " + Hex(static_cast<long>(reinterpret_cast<INT_PTR>(entry.window))) +
                    L")";
        if (!entry.shown)
            text += L" (not shown)";
        text += L"\n";
    }
    return text;
}

std::vector<const ReaderEntry*> ChildrenOf(const std::vector<ReaderEntry>& walk,
                                           const ReaderEntry& parent) {
    std::vector<const ReaderEntry*> children;
    const std::size_t at = static_cast<std::size_t>(&parent - walk.data());
    for (std::size_t i = at + 1; i < walk.size() && walk[i].depth > parent.depth; ++i) {
        if (walk[i].depth == parent.depth + 1)
            children.push_back(&walk[i]);
    }
    return children;
}

std::vector<const ReaderEntry*> FindShown(const std::vector<ReaderEntry>& walk, long role,
                                          const std::wstring& name) {
    std::vector<const ReaderEntry*> found;
    for (const ReaderEntry& entry : walk) {
        if (entry.shown && entry.facts.role == role && entry.facts.name == name)
            found.push_back(&entry);
    }
    return found;
}

const ReaderEntry& TheShown(const std::vector<ReaderEntry>& walk, long role,
                            const std::wstring& name) {
    const std::vector<const ReaderEntry*> found = FindShown(walk, role, name);
    if (found.size() != 1) {
        ReaderFacts wanted;
        wanted.role = role;
        wanted.name = name;
        throw ReaderFailure(std::to_wstring(found.size()) + L" shown elements " + wanted.Line() +
                            L", not one, in:\n" + Describe(walk));
    }
    return *found.front();
}
