#include "ui/engine/CTwDialogView.h"

#include <cstring>
#include <utility>

#include <commctrl.h>
#include <olectl.h> // OCM_*: messages reflected to the control that sent them, as ATL reflects them
#include <shellapi.h>

#include "common/CriticalSection.h"
#include "ui/engine/CTwRichText.h"
#include "ui/engine/CTwTabCtrl.h"
#include "ui/engine/TwFontPool.h"
#include "ui/engine/TwLayoutDocument.h"
#include "ui/engine/TwWindowOutline.h"
#include "ui/engine/TwHighContrast.h"
#include "ui/core/TwXml.h"
#include "ui/skin/TwSkinRegistry.h"

namespace {

constexpr DWORD kViewStyle = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_TABSTOP;
constexpr WPARAM kMoveByCaption = 0xF012;
constexpr WPARAM kMaximize = 0xF032;
constexpr WPARAM kRestore = 0xF122;
// The size of the tool records the view gives its tooltip. comctl32 5.82,
// which Windows loads into a program that does not declare Common Controls 6
// in its manifest, refuses records larger than its own (the v6
// sizeof(TOOLINFOW)), and the tooltip then silently has no tool; version 6
// takes this size as well.
const UINT kToolInfoSize = TTTOOLINFOW_V2_SIZE;

// The memory-dc phase of every view's paint runs under one lock.
CriticalSection& PaintLock() {
    static CriticalSection lock;
    return lock;
}

void OpenWithShell(const wchar_t* target) {
    ShellExecuteW(nullptr, L"open", target, nullptr, nullptr, SW_SHOWNORMAL);
}

CTwDialogView::HrefOpener& HrefOpenerInUse() {
    static CTwDialogView::HrefOpener opener = &OpenWithShell;
    return opener;
}

int Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

void SendPosition(CTwWindow& section, int x, int y, int cx, int cy) {
    WINDOWPOS pos = {};
    pos.x = x;
    pos.y = y;
    pos.cx = cx;
    pos.cy = cy;
    pos.flags = SWP_SHOWWINDOW;
    section.Send(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
}

void LoadSection(CTwDialog& section, const TiXmlElement* element, TwSection which, bool& loaded) {
    if (!element)
        return;
    section.LoadFromXml(element);
    loaded = true;
    const char* height = element->Attribute("height");
    section.ApplyAttribute("pos", SectionPosition(which, height ? ReadDecimal(height) : 0).c_str(),
                           true);
}

} // namespace

bool IsActiveHeaderTag(const char* tag) {
    static const char* const kActive[] = {"button",  "imgbtn",      "dlgbtn", "tabctrl", "link",
                                          "skinbtn", "imgbtnsized", "check",  "slider"};
    for (const char* active : kActive) {
        if (std::strcmp(tag, active) == 0)
            return true;
    }
    return false;
}

void CTwDialogView::SetHrefOpener(HrefOpener opener) {
    HrefOpenerInUse() = opener ? std::move(opener) : HrefOpener(&OpenWithShell);
}

CTwDialogView::CTwDialogView()
    : m_header(std::make_unique<CTwDialog>()), m_body(std::make_unique<CTwDialog>()),
      m_footer(std::make_unique<CTwDialog>()) {}

CTwDialogView::~CTwDialogView() {
    if (m_anchor)
        m_anchor->Disconnect();
    if (IsCreated())
        DestroyWindow(m_hWnd);
    for (CTwDialog* section : {m_header.get(), m_body.get(), m_footer.get()})
        section->Send(WM_DESTROY);
}

HWND CTwDialogView::Create(HWND parent, const RECT* rect) {
    if (IsCreated())
        DestroyWindow(m_hWnd);
    RECT area = {};
    if (rect)
        area = RECT{0, 0, rect->right - rect->left, rect->bottom - rect->top};
    if (!CreateImpl(parent, rect ? &area : nullptr, nullptr, kViewStyle, WS_EX_CONTROLPARENT,
                    kTwViewControlId))
        return nullptr;
    for (CTwDialog* section : {m_header.get(), m_body.get(), m_footer.get()})
        section->AttachHostWindow(m_hWnd);

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    m_tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (m_tooltip) {
        TOOLINFOW tool = {};
        tool.cbSize = kToolInfoSize;
        tool.uFlags = TTF_IDISHWND;
        tool.hwnd = m_hWnd;
        tool.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
        tool.lpszText = const_cast<wchar_t*>(L"");
        SendMessageW(m_tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessageW(m_tooltip, TTM_ACTIVATE, TRUE, 0);
        SendMessageW(m_tooltip, TTM_SETMAXTIPWIDTH, 0, 5000);
    }
    m_dirty.Reset();
    m_tipText.clear();
    m_focus.ResetCues();
    LayoutSections();
    return m_hWnd;
}

bool CTwDialogView::LoadLayoutText(const std::string& text) {
    for (CTwDialog* section : {m_header.get(), m_body.get(), m_footer.get()})
        section->Send(WM_DESTROY);
    m_style = TwWindowStyle();
    m_hovered = m_pressed = 0;
    m_focus.Forget();

    TiXmlDocument document;
    const TiXmlElement* root = nullptr;
    if (ParseXmlText(document, text))
        root = RootWithTag(document, "layer");
    if (!root) {
        RequestFullRedraw();
        return false;
    }
    m_style = ReadWindowStyle(*root);
    LoadSection(*m_header, root->FirstChildElement("header"), TwSection::Header,
                m_style.headerLoaded);
    LoadSection(*m_footer, root->FirstChildElement("footer"), TwSection::Footer,
                m_style.footerLoaded);
    LoadSection(*m_body, root->FirstChildElement("body"), TwSection::Body, m_style.bodyLoaded);
    m_style.layoutLoaded = true;
    if (IsCreated())
        LayoutSections();
    return true;
}

std::vector<const CTwDialog*> CTwDialogView::LoadedSections() const {
    std::vector<const CTwDialog*> sections;
    if (m_style.headerLoaded)
        sections.push_back(m_header.get());
    if (m_style.bodyLoaded)
        sections.push_back(m_body.get());
    if (m_style.footerLoaded)
        sections.push_back(m_footer.get());
    return sections;
}

namespace {

CTwTabCtrl* FindTabControl(CTwWindow& element) {
    if (std::strcmp(element.TagName(), "tabctrl") == 0)
        return static_cast<CTwTabCtrl*>(&element);
    if (!element.IsContainerKind())
        return nullptr;
    for (const auto& child : static_cast<CTwContainerWnd&>(element).Children()) {
        if (CTwTabCtrl* found = FindTabControl(*child))
            return found;
    }
    return nullptr;
}

} // namespace

CTwTabCtrl* CTwDialogView::FirstTabControl() {
    for (const CTwDialog* section : LoadedSections()) {
        if (CTwTabCtrl* found = FindTabControl(*const_cast<CTwDialog*>(section)))
            return found;
    }
    return nullptr;
}

void CTwDialogView::RepaintArea(const RECT& rect) {
    if (!IsCreated())
        return;
    AddDirty(rect);
    InvalidateRect(m_hWnd, &rect, FALSE);
}

LRESULT CTwDialogView::AnswerGetObject(WPARAM wparam, LPARAM lparam) {
    if (!m_accessible) {
        m_accessible = std::make_unique<TwViewAccessible>(*this);
        m_anchor = std::make_shared<AccessibleAnchor>(m_accessible.get());
    }
    return ::AnswerGetObject(m_anchor, wparam, lparam);
}

void CTwDialogView::RaiseAlert(int id) {
    if (const CTwWindow* element = FindById(id))
        RaiseAccessibleEvent(EVENT_SYSTEM_ALERT, m_hWnd, static_cast<long>(element->Handle()));
}

CTwWindow* CTwDialogView::FindById(int id) {
    for (CTwDialog* section : {m_header.get(), m_body.get(), m_footer.get()}) {
        if (CTwWindow* found = section->FindById(id))
            return found;
    }
    return nullptr;
}

bool CTwDialogView::SetElementAttribute(int id, const char* name, const char* value) {
    CTwWindow* element = FindById(id);
    if (!element)
        return false;
    const TwHandle handle = element->Handle();
    element->RequestRepaint();
    element->ApplyAttribute(name, value, false);
    if ((element = ResolveElement(handle)))
        element->RequestRepaint();
    return true;
}

bool CTwDialogView::ShowElement(int id, bool visible) {
    CTwWindow* element = FindById(id);
    if (!element)
        return false;
    element->Send(WM_SHOWWINDOW, visible);
    if (IsCreated()) {
        AddDirty(element->Rect());
        InvalidateRect(m_hWnd, &element->Rect(), FALSE);
        if (element->AccessibleRole() != 0)
            RaiseAccessibleEvent(visible ? EVENT_OBJECT_SHOW : EVENT_OBJECT_HIDE, m_hWnd,
                                 static_cast<long>(element->Handle()));
    }
    return true;
}

bool CTwDialogView::ReplaceRichMarkup(int id, const std::string& markup) {
    CTwWindow* element = FindById(id);
    if (!element || std::strcmp(element->TagName(), "richtext") != 0)
        return false;
    TiXmlDocument document;
    const TiXmlElement* root = ParseXmlText(document, "<richtext>" + markup + "</richtext>")
                                   ? document.RootElement()
                                   : nullptr;
    if (!root)
        return false;
    auto& rich = static_cast<CTwRichText&>(*element);
    rich.ReplaceMarkup(*root);
    rich.RequestRepaint();
    // A reader speaks the new text: the paragraph is a live region.
    RaiseAccessibleEvent(EVENT_OBJECT_NAMECHANGE, m_hWnd, static_cast<long>(rich.Handle()));
    RaiseAccessibleEvent(EVENT_OBJECT_LIVEREGIONCHANGED, m_hWnd, static_cast<long>(rich.Handle()));
    if (rich.IsShown())
        rich.Send(WM_SHOWWINDOW, TRUE);
    return true;
}

void CTwDialogView::LayoutSections() {
    if (!IsCreated())
        return;
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    if (client.right - client.left == 0)
        return;
    const int width = client.right - client.left;
    const int height = Height(client);
    RECT header = {};
    RECT footer = {};
    if (m_style.headerLoaded) {
        SendPosition(*m_header, client.left, client.top, width, height);
        header = m_header->Rect();
    }
    if (m_style.footerLoaded) {
        SendPosition(*m_footer, client.left, client.top, width, height);
        footer = m_footer->Rect();
        SendPosition(*m_footer, client.left, client.bottom - Height(footer), width, Height(footer));
        footer = m_footer->Rect();
    }
    if (m_style.bodyLoaded)
        SendPosition(*m_body, client.left, header.bottom, width,
                     client.bottom - Height(footer) - header.bottom);
    RequestFullRedraw();
}

void CTwDialogView::ShowRealWindows() {
    for (CTwDialog* section : {m_header.get(), m_body.get(), m_footer.get()})
        section->ShowRealWindows(!section->Has(kTwInvisible));
}

void CTwDialogView::RequestFullRedraw() {
    m_fullRedraw = true;
    m_dirty.Reset();
    if (IsCreated())
        InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CTwDialogView::AddDirty(const RECT& rect) {
    UniqueRegion added(CreateRectRgnIndirect(&rect));
    if (!m_dirty)
        m_dirty = std::move(added);
    else
        CombineRgn(m_dirty.Get(), m_dirty.Get(), added.Get(), RGN_OR);
}

const CTwBitmap& CTwDialogView::Render() {
    PaintMemory();
    return m_canvas;
}

void CTwDialogView::PaintMemory() {
    if (!IsCreated())
        return;
    RECT client = {};
    GetClientRect(m_hWnd, &client);
    ScopedLock lock(PaintLock());
    if (m_canvas.Width() != client.right || m_canvas.Height() != client.bottom) {
        if (!m_canvas.Create(client.right, client.bottom))
            return;
        m_fullRedraw = true;
    }
    if (!m_fullRedraw && !m_dirty)
        return;
    HRGN clip = m_fullRedraw ? nullptr : m_dirty.Get();
    MemoryDC dc(nullptr);
    ScopedSelect bitmap(dc.Get(), m_canvas.Handle());
    ScopedSelect font(dc.Get(), TwFontPool::Instance().GetFont(0));
    SetBkMode(dc.Get(), TRANSPARENT);
    if (clip)
        SelectClipRgn(dc.Get(), clip);
    // What is repainted starts white (or transparent), so nothing of an
    // earlier paint (the outline above all) is drawn over twice.
    PatBlt(dc.Get(), 0, 0, client.right, client.bottom, m_transparent ? BLACKNESS : WHITENESS);
    if (HighContrastOn()) {
        FillSolid(dc.Get(), client, ContrastColor(TwContrastInk::Surface));
        FrameInContrast(dc.Get(), client, TwContrastInk::Frame);
    } else if (!m_style.frame.empty()) {
        if (CTwSkinBase* frame = GetSkin(m_style.frame))
            frame->Draw(dc.Get(), client, 0);
    }
    const std::pair<CTwDialog*, bool> sections[] = {{m_header.get(), m_style.headerLoaded},
                                                    {m_body.get(), m_style.bodyLoaded},
                                                    {m_footer.get(), m_style.footerLoaded}};
    for (const auto& [section, loaded] : sections) {
        if (loaded)
            section->PaintInto(dc.Get(), clip);
    }
    m_focus.PaintCue(dc.Get());
    HWND parent = GetParent(m_hWnd);
    if (parent && !(GetWindowLongW(parent, GWL_STYLE) & WS_CHILD))
        BlendOutline(m_canvas, clip);
    m_dirty.Reset();
    m_fullRedraw = false;
}

LRESULT CTwDialogView::OnPaint(HDC printInto) {
    PaintMemory();
    PAINTSTRUCT paint = {};
    HDC target = printInto ? printInto : BeginPaint(m_hWnd, &paint);
    if (!m_canvas.IsEmpty()) {
        MemoryDC source(target);
        ScopedSelect bitmap(source.Get(), m_canvas.Handle());
        BitBlt(target, 0, 0, m_canvas.Width(), m_canvas.Height(), source.Get(), 0, 0, SRCCOPY);
    }
    if (!printInto)
        EndPaint(m_hWnd, &paint);
    return 0;
}

TwHandle CTwDialogView::HitTestBelowHeader(POINT point) {
    if (m_style.bodyLoaded) {
        if (const TwHandle hit = m_body->ElementAt(point.x, point.y, true))
            return hit;
    }
    return m_style.footerLoaded ? m_footer->ElementAt(point.x, point.y, true) : 0;
}

TwHandle CTwDialogView::HeaderHit(POINT point, bool& passive) {
    const TwHandle hit = m_style.headerLoaded ? m_header->ElementAt(point.x, point.y, true) : 0;
    const CTwWindow* element = ResolveElement(hit);
    passive = element && !IsActiveHeaderTag(element->TagName());
    return hit;
}

TwHandle CTwDialogView::HitTest(POINT point) {
    bool passive = false;
    const TwHandle header = HeaderHit(point, passive);
    return header ? header : HitTestBelowHeader(point);
}

void CTwDialogView::NotifyParent(UINT code, int itemId, const char* tag) {
    HWND parent = GetParent(m_hWnd);
    if (!parent)
        return;
    TwItemNotify record = {};
    record.hdr.hwndFrom = m_hWnd;
    record.hdr.idFrom = kTwViewControlId;
    record.hdr.code = code;
    record.itemId = itemId;
    record.tag = tag;
    SendMessageW(parent, WM_NOTIFY, kTwViewControlId, reinterpret_cast<LPARAM>(&record));
}

void CTwDialogView::NotifyParent(UINT code, TwHandle element, const char* tag) {
    if (const CTwWindow* resolved = ResolveElement(element))
        NotifyParent(code, resolved->CommandId(), tag);
}

void CTwDialogView::SetTipText(const std::wstring& text) {
    if (!m_tooltip || text == m_tipText)
        return;
    m_tipText = text;
    TOOLINFOW tool = {};
    tool.cbSize = kToolInfoSize;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
    tool.lpszText = const_cast<wchar_t*>(m_tipText.c_str());
    SendMessageW(m_tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

LRESULT CTwDialogView::OnMouseMove(WPARAM keys, POINT point) {
    PostMessageW(GetParent(m_hWnd), WM_MOUSEMOVE, keys, MAKELPARAM(point.x, point.y));
    if (!m_tracking) {
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, m_hWnd, 0};
        m_tracking = TrackMouseEvent(&track) != FALSE;
    }
    const TwHandle hit = HitTest(point);
    CTwWindow* element = ResolveElement(hit);
    if (!element)
        return 0;
    if (!element->IsDisabled())
        element->Send(WM_MOUSEMOVE, keys, MAKELPARAM(point.x, point.y));
    NotifyParent(kTwMouseOver, hit);
    if (hit != m_hovered) {
        CTwWindow* previous = ResolveElement(m_hovered);
        if (previous && !previous->IsDisabled()) {
            const TwHandle handle = m_hovered;
            previous->ChangeStateWithRepaint(0, kTwHover);
            previous->Send(kTwMouseLeave);
            NotifyParent(kTwMouseOut, handle);
        }
        element = ResolveElement(hit);
        if (element && !element->IsDisabled())
            element->ChangeStateWithRepaint(kTwHover, 0);
        m_hovered = hit;
    }
    if ((element = ResolveElement(hit)))
        SetTipText(element->Tip());
    return 0;
}

LRESULT CTwDialogView::OnMouseLeave() {
    PostMessageW(GetParent(m_hWnd), WM_MOUSELEAVE, 0, 0);
    m_tracking = false;
    int itemId = 0;
    if (CTwWindow* hovered = ResolveElement(m_hovered)) {
        itemId = hovered->CommandId();
        hovered->ChangeStateWithRepaint(0, kTwHover);
        hovered->Send(kTwMouseLeave);
    }
    m_hovered = 0;
    if (CTwWindow* pressed = ResolveElement(m_pressed)) {
        itemId = pressed->CommandId();
        pressed->ChangeStateWithRepaint(0, kTwPushed);
    }
    m_pressed = 0;
    NotifyParent(kTwMouseOut, itemId);
    return 0;
}

LRESULT CTwDialogView::OnLButtonDown(WPARAM keys, POINT point) {
    bool passive = false;
    const TwHandle header = HeaderHit(point, passive);
    if (passive && !m_style.IsChild()) {
        SetFocus(m_hWnd);
        HWND parent = GetParent(m_hWnd);
        if (parent && !IsIconic(parent) && m_style.headerDrag)
            SendMessageW(parent, WM_SYSCOMMAND, kMoveByCaption, 0);
        return 0;
    }
    const TwHandle hit = header ? header : HitTestBelowHeader(point);
    CTwWindow* element = ResolveElement(hit);
    if (!element || element->IsDisabled() || m_capture)
        return 0;
    SetCapture(m_hWnd);
    m_capture = true;
    m_hovered = m_pressed = hit;
    element->ChangeStateWithRepaint(kTwPushed, 0);
    element->Send(WM_LBUTTONDOWN, keys, MAKELPARAM(point.x, point.y));
    NotifyParent(kTwPressed, hit);
    return 0;
}

LRESULT CTwDialogView::OnLButtonUp(WPARAM keys, POINT point) {
    SetFocus(m_hWnd);
    if (m_capture) {
        m_capture = false;
        ReleaseCapture();
    }
    const TwHandle pressed = m_pressed;
    m_pressed = 0;
    CTwWindow* element = ResolveElement(pressed);
    if (!element)
        return 0;
    // Released over it: the hovered element, and the point still inside.
    if (pressed != m_hovered || !PtInRect(&element->Rect(), point)) {
        element->ChangeStateWithRepaint(0, kTwPushed);
        return 0;
    }
    m_focus.OnClicked(pressed);
    ReleasePressed(pressed, keys, point);
    return 0;
}

void CTwDialogView::ReleasePressed(TwHandle pressed, WPARAM keys, POINT point) {
    CTwWindow* element = ResolveElement(pressed);
    if (!element)
        return;
    element->ChangeStateWithRepaint(0, kTwPushed);
    element->Send(WM_LBUTTONUP, keys, MAKELPARAM(point.x, point.y));
    if (!(element = ResolveElement(pressed)))
        return;
    if (!element->Href().empty())
        HrefOpenerInUse()(element->Href().c_str());
    else if (element->CommandId() != 0)
        NotifyParent(kTwClick, element->CommandId(), element->TagName());
}

void CTwDialogView::ClickElement(TwHandle handle) {
    CTwWindow* element = ResolveElement(handle);
    if (!element || element->IsDisabled() || m_capture)
        return;
    const RECT& rect = element->Rect();
    const POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    element->ChangeStateWithRepaint(kTwPushed, 0);
    element->Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
    NotifyParent(kTwPressed, handle);
    ReleasePressed(handle, 0, centre);
}

LRESULT CTwDialogView::OnRButtonDown(POINT point) {
    if (const TwHandle hit = HitTest(point))
        NotifyParent(kTwRightPressed, hit);
    return 0;
}

LRESULT CTwDialogView::OnLButtonDblClk(POINT point) {
    bool passiveHeader = false;
    const TwHandle header = HeaderHit(point, passiveHeader);
    HWND parent = GetParent(m_hWnd);
    if (passiveHeader && m_style.resizable) {
        if (parent)
            SendMessageW(parent, WM_SYSCOMMAND, IsZoomed(parent) ? kRestore : kMaximize, 0);
        return 0;
    }
    SetFocus(m_hWnd);
    if (passiveHeader)
        return 0;
    if (const TwHandle hit = header ? header : HitTestBelowHeader(point))
        NotifyParent(kTwDoubleClick, hit);
    return 0;
}

LRESULT CTwDialogView::OnSetCursor(WPARAM, LPARAM) {
    if (CTwWindow* hovered = ResolveElement(m_hovered)) {
        if (std::strcmp(hovered->TagName(), "realwnd") == 0)
            return FALSE;
        if (!hovered->IsDisabled()) {
            hovered->ApplyCursor();
            return TRUE;
        }
    }
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    return TRUE;
}

LRESULT CTwDialogView::OnNotify(WPARAM wparam, LPARAM lparam) {
    const NMHDR* header = reinterpret_cast<const NMHDR*>(lparam);
    if (header && header->code == kTwInvalidate) {
        const RECT& rect = reinterpret_cast<const TwInvalidateNotify*>(lparam)->rect;
        AddDirty(rect);
        InvalidateRect(m_hWnd, &rect, FALSE);
        return 0;
    }
    if (header && header->code == static_cast<UINT>(NM_CUSTOMDRAW) && header->hwndFrom)
        return SendMessageW(header->hwndFrom, OCM_NOTIFY, wparam, lparam);
    return SendMessageW(GetParent(m_hWnd), WM_NOTIFY, wparam, lparam);
}

void CTwDialogView::FocusFirstTabStop() {
    for (HWND child = GetWindow(m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if ((GetWindowLongW(child, GWL_STYLE) & WS_TABSTOP) && IsWindowVisible(child)) {
            SetFocus(child);
            return;
        }
    }
}

LRESULT CTwDialogView::OnSetFocus() {
    const TwFocusStop stop = m_focus.Current();
    if (stop.IsNone()) {
        FocusFirstTabStop();
        return 0;
    }
    // A drawn stop: the focus stays on the view and its cue shows.
    m_focus.Set(stop);
    RaiseAccessibleEvent(EVENT_OBJECT_FOCUS, m_hWnd, AccessibleNodeOfStop(stop));
    return 0;
}

bool CTwDialogView::ProcessWindowMessage(HWND, UINT message, WPARAM wparam, LPARAM lparam,
                                         LRESULT& result) {
    if (message >= WM_MOUSEFIRST && message <= 0x020D && m_tooltip) {
        MSG relayed = {m_hWnd, message, wparam, lparam, static_cast<DWORD>(GetMessageTime()), {}};
        SendMessageW(m_tooltip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    }
    const POINT point = PointFromLParam(lparam);
    switch (message) {
    case WM_MOUSEMOVE:
        result = OnMouseMove(wparam, point);
        return true;
    case WM_MOUSELEAVE:
        result = OnMouseLeave();
        return true;
    case WM_LBUTTONDOWN:
        result = OnLButtonDown(wparam, point);
        return true;
    case WM_LBUTTONUP:
        result = OnLButtonUp(wparam, point);
        return true;
    case WM_RBUTTONDOWN:
        result = OnRButtonDown(point);
        return true;
    case WM_LBUTTONDBLCLK:
        result = OnLButtonDblClk(point);
        return true;
    case WM_SETCURSOR:
        result = OnSetCursor(wparam, lparam);
        return true;
    case WM_GETDLGCODE:
        result = DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
        return true;
    case WM_SETFOCUS:
        result = OnSetFocus();
        return true;
    case WM_KILLFOCUS:
        m_focus.RepaintCue();
        return false;
    case WM_UPDATEUISTATE:
        result = DefWindowProcW(m_hWnd, message, wparam, lparam);
        m_focus.OnUpdateUiState(wparam);
        return true;
    case WM_GETOBJECT:
        result = AnswerGetObject(wparam, lparam);
        return result != 0;
    case kTwRunAccessibleAction:
        if (m_accessible)
            m_accessible->RunPostedAction(static_cast<long>(lparam));
        return true;
    case WM_NOTIFY:
        result = OnNotify(wparam, lparam);
        return true;
    case WM_COMMAND:
    case WM_VSCROLL:
    case WM_HSCROLL:
    // Owner-drawn child windows (the file lists) are drawn by their owner's
    // reflection: their parent passes the requests on like the commands.
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
        result = SendMessageW(GetParent(m_hWnd), message, wparam, lparam);
        return true;
    case WM_SIZE:
        LayoutSections();
        return true;
    case WM_PAINT:
        result = OnPaint(nullptr);
        return true;
    case WM_PRINT:
    case WM_PRINTCLIENT:
        result = OnPaint(reinterpret_cast<HDC>(wparam));
        return true;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    case WM_CAPTURECHANGED:
        m_capture = false;
        return false;
    default:
        return false;
    }
}
