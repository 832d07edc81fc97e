#include "ui/engine/TwAccessible.h"

#include <atomic>
#include <new>

namespace {

// IAccessible's interface id, spelt out: MinGW's oleacc import library
// defines a wrong one when linked before uuid.
const IID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

BSTR ToBstr(const std::wstring& text) {
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

// The object of one container node, and the enumerator of its children.
class AccessibleObject final : public IAccessible, public IEnumVARIANT {
public:
    AccessibleObject(AccessibleAnchorPtr anchor, long node)
        : m_anchor(std::move(anchor)), m_node(node) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIidAccessible)
            *out = static_cast<IAccessible*>(this);
        else if (iid == IID_IEnumVARIANT)
            *out = static_cast<IEnumVARIANT*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }

    // IDispatch: readers use the vtable.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return TextOf(child, name, &AccessibleFacts::name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return TextOf(child, value, &AccessibleFacts::value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        return TextOf(child, text, &AccessibleFacts::description);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        return NumberOf(child, role, &AccessibleFacts::role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return NumberOf(child, state, &AccessibleFacts::state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override {
        if (help)
            *help = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        if (file)
            *file = nullptr;
        if (topic)
            *topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* text) override {
        return TextOf(child, text, &AccessibleFacts::shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return TextOf(child, action, &AccessibleFacts::defaultAction);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }

    // IEnumVARIANT over the node's children.
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override {
        m_cursor = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override;

private:
    ~AccessibleObject() = default;

    IAccessibleTree* Tree() const { return m_anchor->Tree(); }
    // The node a child variant names: CHILDID_SELF is this object's node.
    // Returns false (and sets `hr`) when it names nothing.
    bool NodeOf(const VARIANT& child, long& node, HRESULT& hr) const;
    // The facts of the node a child variant names.
    HRESULT FactsOf(const VARIANT& child, AccessibleFacts& facts) const;
    HRESULT TextOf(const VARIANT& child, BSTR* out, std::wstring AccessibleFacts::*field) const;
    HRESULT NumberOf(const VARIANT& child, VARIANT* out, long AccessibleFacts::*field) const;
    // A node as its parent presents it: an object, a window's object, or
    // the node's id as a child id of this object.
    void Present(long node, VARIANT& out) const;
    // As Present, but this object's own node is CHILDID_SELF.
    void PresentFromHere(long node, VARIANT& out) const;
    // The object for a container node or a window node, null for a simple one.
    IDispatch* ObjectFor(long node) const;

    std::atomic<ULONG> m_refs{1};
    AccessibleAnchorPtr m_anchor;
    long m_node;
    long m_cursor = 0;
};

bool AccessibleObject::NodeOf(const VARIANT& child, long& node, HRESULT& hr) const {
    if (!Tree()) {
        hr = CO_E_OBJNOTCONNECTED;
        return false;
    }
    if (child.vt != VT_I4) {
        hr = E_INVALIDARG;
        return false;
    }
    node = child.lVal == CHILDID_SELF ? m_node : child.lVal;
    if (!Tree()->Exists(node)) {
        hr = E_INVALIDARG;
        return false;
    }
    return true;
}

HRESULT AccessibleObject::FactsOf(const VARIANT& child, AccessibleFacts& facts) const {
    long node = 0;
    HRESULT hr = S_OK;
    if (!NodeOf(child, node, hr))
        return hr;
    return Tree()->Describe(node, facts) ? S_OK : E_INVALIDARG;
}

HRESULT AccessibleObject::NumberOf(const VARIANT& child, VARIANT* out,
                                   long AccessibleFacts::*field) const {
    if (!out)
        return E_POINTER;
    VariantInit(out);
    AccessibleFacts facts;
    const HRESULT hr = FactsOf(child, facts);
    if (FAILED(hr))
        return hr;
    out->vt = VT_I4;
    out->lVal = facts.*field;
    return S_OK;
}

HRESULT AccessibleObject::TextOf(const VARIANT& child, BSTR* out,
                                 std::wstring AccessibleFacts::*field) const {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    AccessibleFacts facts;
    const HRESULT hr = FactsOf(child, facts);
    if (FAILED(hr))
        return hr;
    const std::wstring& text = facts.*field;
    if (text.empty())
        return S_FALSE;
    *out = ToBstr(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

IDispatch* AccessibleObject::ObjectFor(long node) const {
    if (HWND window = Tree()->WindowOf(node)) {
        IDispatch* object = nullptr;
        if (SUCCEEDED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_WINDOW),
                                                 IID_IDispatch, reinterpret_cast<void**>(&object))))
            return object;
        return nullptr;
    }
    if (!Tree()->IsContainer(node))
        return nullptr;
    return MakeAccessibleObject(m_anchor, node);
}

void AccessibleObject::PresentFromHere(long node, VARIANT& out) const {
    if (node != m_node) {
        Present(node, out);
        return;
    }
    VariantInit(&out);
    out.vt = VT_I4;
    out.lVal = CHILDID_SELF;
}

void AccessibleObject::Present(long node, VARIANT& out) const {
    VariantInit(&out);
    if (IDispatch* object = ObjectFor(node)) {
        out.vt = VT_DISPATCH;
        out.pdispVal = object;
        return;
    }
    out.vt = VT_I4;
    out.lVal = node;
}

HRESULT AccessibleObject::get_accParent(IDispatch** parent) {
    if (!parent)
        return E_POINTER;
    *parent = nullptr;
    if (!Tree())
        return CO_E_OBJNOTCONNECTED;
    const long up = Tree()->ParentOf(m_node);
    if (up < 0)
        return AccessibleObjectFromWindow(Tree()->Window(), static_cast<DWORD>(OBJID_WINDOW),
                                          IID_IDispatch, reinterpret_cast<void**>(parent));
    *parent = MakeAccessibleObject(m_anchor, up);
    return *parent ? S_OK : E_OUTOFMEMORY;
}

HRESULT AccessibleObject::get_accChildCount(long* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    if (!Tree())
        return CO_E_OBJNOTCONNECTED;
    *count = Tree()->ChildCount(m_node);
    return S_OK;
}

HRESULT AccessibleObject::get_accChild(VARIANT child, IDispatch** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    long node = 0;
    HRESULT hr = S_OK;
    if (!NodeOf(child, node, hr))
        return hr;
    if (node == m_node) {
        AddRef();
        *out = static_cast<IAccessible*>(this);
        return S_OK;
    }
    *out = ObjectFor(node);
    return *out ? S_OK : S_FALSE;
}

// The focus or the selection as IAccessible reports them: VT_EMPTY when it
// is outside this object, this object itself, or a node inside it.
HRESULT AccessibleObject::get_accFocus(VARIANT* focus) {
    if (!focus)
        return E_POINTER;
    VariantInit(focus);
    if (!Tree())
        return CO_E_OBJNOTCONNECTED;
    const long node = Tree()->FocusedNode();
    if (node < 0)
        return S_FALSE;
    PresentFromHere(node, *focus);
    return S_OK;
}

HRESULT AccessibleObject::get_accSelection(VARIANT* selection) {
    if (!selection)
        return E_POINTER;
    VariantInit(selection);
    if (!Tree())
        return CO_E_OBJNOTCONNECTED;
    const long node = Tree()->SelectedNode();
    if (node < 0 || node == m_node)
        return S_FALSE;
    Present(node, *selection);
    return S_OK;
}

HRESULT AccessibleObject::accSelect(long flags, VARIANT child) {
    long node = 0;
    HRESULT hr = S_OK;
    if (!NodeOf(child, node, hr))
        return hr;
    return Tree()->Select(node, flags) ? S_OK : S_FALSE;
}

HRESULT AccessibleObject::accLocation(long* left, long* top, long* width, long* height,
                                      VARIANT child) {
    if (!left || !top || !width || !height)
        return E_POINTER;
    *left = *top = *width = *height = 0;
    AccessibleFacts facts;
    const HRESULT hr = FactsOf(child, facts);
    if (FAILED(hr))
        return hr;
    *left = facts.screen.left;
    *top = facts.screen.top;
    *width = facts.screen.right - facts.screen.left;
    *height = facts.screen.bottom - facts.screen.top;
    return S_OK;
}

HRESULT AccessibleObject::accNavigate(long direction, VARIANT start, VARIANT* end) {
    if (!end)
        return E_POINTER;
    VariantInit(end);
    long node = 0;
    HRESULT hr = S_OK;
    if (!NodeOf(start, node, hr))
        return hr;
    IAccessibleTree& tree = *Tree();
    long target = -1;
    switch (direction) {
    case NAVDIR_FIRSTCHILD:
        target = tree.ChildAt(node, 0);
        break;
    case NAVDIR_LASTCHILD: {
        const long count = tree.ChildCount(node);
        target = count > 0 ? tree.ChildAt(node, count - 1) : -1;
        break;
    }
    case NAVDIR_NEXT:
    case NAVDIR_DOWN:
    case NAVDIR_RIGHT:
    case NAVDIR_PREVIOUS:
    case NAVDIR_UP:
    case NAVDIR_LEFT: {
        const long parent = tree.ParentOf(node);
        const long index = tree.IndexOf(node);
        if (parent < 0 || index < 0)
            return S_FALSE;
        const bool forward =
            direction == NAVDIR_NEXT || direction == NAVDIR_DOWN || direction == NAVDIR_RIGHT;
        target = forward ? tree.ChildAt(parent, index + 1)
                         : (index > 0 ? tree.ChildAt(parent, index - 1) : -1);
        break;
    }
    default:
        return E_INVALIDARG;
    }
    if (target < 0)
        return S_FALSE;
    Present(target, *end);
    return S_OK;
}

HRESULT AccessibleObject::accHitTest(long x, long y, VARIANT* child) {
    if (!child)
        return E_POINTER;
    VariantInit(child);
    if (!Tree())
        return CO_E_OBJNOTCONNECTED;
    const long node = Tree()->NodeAt(POINT{x, y});
    if (node < 0)
        return S_FALSE;
    PresentFromHere(node, *child);
    return S_OK;
}

HRESULT AccessibleObject::accDoDefaultAction(VARIANT child) {
    long node = 0;
    HRESULT hr = S_OK;
    if (!NodeOf(child, node, hr))
        return hr;
    return Tree()->DoDefaultAction(node) ? S_OK : DISP_E_MEMBERNOTFOUND;
}

HRESULT AccessibleObject::Next(ULONG count, VARIANT* items, ULONG* fetched) {
    if (!items)
        return E_POINTER;
    if (!Tree())
        return CO_E_OBJNOTCONNECTED;
    ULONG got = 0;
    while (got < count) {
        const long node = Tree()->ChildAt(m_node, m_cursor);
        if (node < 0)
            break;
        Present(node, items[got]);
        ++got;
        ++m_cursor;
    }
    if (fetched)
        *fetched = got;
    return got == count ? S_OK : S_FALSE;
}

HRESULT AccessibleObject::Skip(ULONG count) {
    if (!Tree())
        return CO_E_OBJNOTCONNECTED;
    const long total = Tree()->ChildCount(m_node);
    const long wanted = m_cursor + static_cast<long>(count);
    m_cursor = wanted < total ? wanted : total;
    return wanted <= total ? S_OK : S_FALSE;
}

HRESULT AccessibleObject::Clone(IEnumVARIANT** out) {
    if (!out)
        return E_POINTER;
    auto* copy = new (std::nothrow) AccessibleObject(m_anchor, m_node);
    if (!copy) {
        *out = nullptr;
        return E_OUTOFMEMORY;
    }
    copy->m_cursor = m_cursor;
    *out = static_cast<IEnumVARIANT*>(copy);
    return S_OK;
}

} // namespace

IAccessible* MakeAccessibleObject(const AccessibleAnchorPtr& anchor, long node) {
    // The object owns itself through its reference count (COM's ownership).
    return new (std::nothrow) AccessibleObject(anchor, node);
}

LRESULT AnswerGetObject(const AccessibleAnchorPtr& anchor, WPARAM wparam, LPARAM lparam) {
    if (static_cast<LONG>(lparam) != static_cast<LONG>(OBJID_CLIENT) || !anchor || !anchor->Tree())
        return 0;
    IAccessible* root = MakeAccessibleObject(anchor, 0);
    if (!root)
        return 0;
    const LRESULT result = LresultFromObject(kIidAccessible, wparam, root);
    root->Release();
    return result < 0 ? 0 : result;
}

void RaiseAccessibleEvent(DWORD event, HWND window, long node) {
    if (window && IsWinEventHookInstalled(event))
        NotifyWinEvent(event, window, OBJID_CLIENT, node);
}
