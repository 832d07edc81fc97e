#include "ui/engine/CTwWindow.h"

#include <cstring>

#include "common/GdiObjects.h"
#include "common/TextConvert.h"
#include "ui/core/TwGeometryWin32.h"
#include "ui/engine/CTwContainerWnd.h"
#include "ui/engine/TwAccessible.h"
#include "ui/engine/TwFontPool.h"
#include "ui/engine/TwHighContrast.h"
#include "ui/core/TwNotation.h"
#include "ui/engine/TwStringTokens.h"
#include "ui/engine/TwStyleTables.h"
#include "ui/core/TwXml.h"
#include "ui/skin/TwSkinRegistry.h"

namespace {

bool Is(const char* name, const char* known) {
    return std::strcmp(name, known) == 0;
}

// The first child node's text when it is text or CDATA.
std::wstring ElementText(const TiXmlElement* element) {
    const TiXmlNode* first = element->FirstChild();
    const TiXmlText* text = first ? first->ToText() : nullptr;
    return text ? Utf8ToWide(text->Value()) : std::wstring();
}

SizeMode ReadSizeMode(const char* value, int& fixed) {
    if (std::strcmp(value, "full") == 0)
        return SizeMode::Full;
    const int pixels = ReadDecimal(value);
    if (pixels > 0) {
        fixed = pixels;
        return SizeMode::Fixed;
    }
    return SizeMode::Content;
}

bool EnumValue(const char* value, const char* const (&names)[3], unsigned step, unsigned& target) {
    for (unsigned i = 0; i < 3; ++i) {
        if (std::strcmp(value, names[i]) == 0) {
            target = i * step;
            return true;
        }
    }
    return false;
}

} // namespace

HRESULT ApplyIntAttribute(const char* name, const char* value,
                          std::initializer_list<IntAttribute> known) {
    for (const IntAttribute& attribute : known) {
        if (std::strcmp(name, attribute.name) == 0) {
            *attribute.target = ReadDecimal(value);
            return S_OK;
        }
    }
    return E_FAIL;
}

POINT PointFromLParam(LPARAM lparam) {
    return POINT{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
}

CTwWindow::CTwWindow() : m_handle(TwElementRegistry::Instance().Register(this)) {}

CTwWindow::~CTwWindow() {
    TwElementRegistry::Instance().Unregister(m_handle);
}

const TwStyle& CTwWindow::Style() const {
    return GetStyle(m_className);
}

int CTwWindow::LoadFromXml(const TiXmlElement* element) {
    if (!element)
        return 0;
    m_text = ElementText(element);
    if (!m_text.empty())
        m_text = SubstituteStringTokens(std::move(m_text));
    m_pos.widthMode = m_pos.heightMode = SizeMode::Content;
    m_floating = false;
    CTwObject::LoadFromXml(element);
    if (const char* show = element->Attribute("show"))
        ChangeState(ReadDecimal(show) ? 0 : kTwInvisible, ReadDecimal(show) ? kTwInvisible : 0);
    if (m_pos.count == 2 || m_pos.count == 4)
        return 1;
    ReadSizeAttributes(element);
    return 1;
}

void CTwWindow::ReadSizeAttributes(const TiXmlElement* element) {
    if (const char* width = element->Attribute("width"))
        m_pos.widthMode = ReadSizeMode(width, m_pos.fixedWidth);
    if (const char* height = element->Attribute("height"))
        m_pos.heightMode = ReadSizeMode(height, m_pos.fixedHeight);
    if (m_pos.widthMode == SizeMode::Content || m_pos.heightMode == SizeMode::Content) {
        SIZE measured = {0, 0};
        Send(WM_NCCALCSIZE, 0, reinterpret_cast<LPARAM>(&measured));
        if (m_pos.widthMode == SizeMode::Content)
            m_rect.right = m_rect.left + measured.cx;
        if (m_pos.heightMode == SizeMode::Content)
            m_rect.bottom = m_rect.top + measured.cy;
    }
    if (const char* floating = element->Attribute("float"))
        m_floating = ReadDecimal(floating) != 0;
}

HRESULT CTwWindow::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwObject::ApplyAttribute(name, value, loading);
    if (AttributeTaken(base))
        return base;
    static const char* const kVAlign[3] = {"top", "middle", "bottom"};
    static const char* const kAlign[3] = {"left", "center", "right"};
    if (Is(name, "id")) {
        m_commandId = ReadDecimal(value);
    } else if (Is(name, "class")) {
        m_className = value;
    } else if (Is(name, "pos")) {
        ParsePosition(value, m_pos);
        if (!loading)
            PlaceAgain();
    } else if (Is(name, "show")) {
        // While loading the loader shows or hides after all attributes.
        if (!loading)
            Send(WM_SHOWWINDOW, ReadDecimal(value) != 0);
    } else if (Is(name, "width") || Is(name, "height")) {
        // While loading the loader reads them when the position needs them.
        if (!loading && m_pos.count != 2 && m_pos.count != 4) {
            const bool width = Is(name, "width");
            (width ? m_pos.widthMode : m_pos.heightMode) =
                ReadSizeMode(value, width ? m_pos.fixedWidth : m_pos.fixedHeight);
        }
    } else if (Is(name, "float")) {
        if (!loading)
            m_floating = ReadDecimal(value) != 0;
    } else if (Is(name, "crbg")) {
        m_crbg = ReadColor(value);
    } else if (Is(name, "crtext")) {
        m_crtext = ReadColor(value);
    } else if (Is(name, "font")) {
        m_font = TwFontPool::Instance().GetFont(ReadHex(value));
    } else if (Is(name, "href")) {
        m_href = Utf8ToWide(value);
    } else if (Is(name, "tip")) {
        m_tip = Utf8ToWide(value);
    } else if (Is(name, "valign")) {
        return EnumValue(value, kVAlign, 0x1000, m_valign) ? S_OK : E_FAIL;
    } else if (Is(name, "align")) {
        return EnumValue(value, kAlign, 0x4000, m_align) ? S_OK : E_FAIL;
    } else if (Is(name, "transparent")) {
        m_transparent = ReadDecimal(value);
    } else if (Is(name, "notify")) {
        m_notify = static_cast<unsigned>(ReadDecimal(value));
    } else if (Is(name, "tabindex")) {
        m_tabIndex = ReadDecimal(value);
    } else if (Is(name, "accname")) {
        m_accName = Utf8ToWide(value);
    } else if (Is(name, "contrast")) {
        if (std::strcmp(value, "highlight") != 0)
            return E_FAIL;
        m_contrastHighlight = true;
    } else {
        return E_FAIL;
    }
    return S_OK;
}

std::wstring CTwWindow::AccessibleName() const {
    if (!m_accName.empty())
        return m_accName;
    return m_text.empty() ? m_tip : m_text;
}

void CTwWindow::ApplyCursor() {
    SetCursor(LoadCursorW(nullptr, Style().cursor));
}

unsigned CTwWindow::ChangeState(unsigned add, unsigned remove) {
    const unsigned old = m_state;
    m_state = (old | add) & ~remove;
    return old;
}

void CTwWindow::AttachHostWindow(HWND host) {
    m_container = host;
}

TwHandle CTwWindow::ElementAt(int x, int y, bool) {
    const POINT point = {x, y};
    return PtInRect(&m_rect, point) ? m_handle : 0;
}

bool CTwWindow::RepaintsOnStateChange() {
    const TwStyle& style = Style();
    if (!style.skin.empty()) {
        CTwSkinBase* skin = GetSkin(style.skin);
        if (skin && !skin->IgnoreState())
            return true;
    }
    return style.colors.crbghover != kNoColor || style.hoverFont != nullptr ||
           style.colors.crhover != kNoColor;
}

void CTwWindow::PaintBackground(HDC dc) {
    const TwStyle& style = Style();
    if (HighContrastOn()) {
        // Pictures and colours behind the content give way to the surface.
        if (!style.skin.empty() || BackgroundColor() != kNoColor)
            FillSolid(dc, m_rect, ContrastColor(TwContrastInk::Surface));
        return;
    }
    if (!style.skin.empty()) {
        if (CTwSkinBase* skin = GetSkin(style.skin))
            skin->Draw(dc, m_rect, static_cast<int>(m_state));
        return;
    }
    COLORREF color = BackgroundColor();
    if (Has(kTwHover) && style.colors.crbghover != kNoColor)
        color = style.colors.crbghover;
    if (color != kNoColor)
        FillSolid(dc, m_rect, color);
}

COLORREF CTwWindow::BackgroundColor() const {
    return m_crbg != kNoColor ? m_crbg : Style().colors.crbg;
}

bool CTwWindow::PaintInto(HDC dc, HRGN region) {
    if (region && !RectInRegion(region, &m_rect))
        return false;
    PaintBackground(dc);
    if (m_paintHook && !m_paintHook->OnElementPaint(*this, dc, m_rect, true))
        return true;
    Send(WM_PAINT, reinterpret_cast<WPARAM>(dc));
    if (m_paintHook)
        m_paintHook->OnElementPaint(*this, dc, m_rect, false);
    return true;
}

LRESULT CTwWindow::Send(UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT result = 0;
    ProcessWindowMessage(message, wparam, lparam, &result);
    return result;
}

bool CTwWindow::ProcessWindowMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
    *result = 0;
    switch (message) {
    case WM_CREATE:
        *result = 1;
        return true;
    case WM_DESTROY:
        OnDestroy();
        return true;
    case WM_PAINT:
        OnPaint(reinterpret_cast<HDC>(wparam));
        return true;
    case WM_NCCALCSIZE: {
        SIZE* size = reinterpret_cast<SIZE*>(lparam);
        if (size)
            *size = OnMeasure(wparam != 0, *size);
        return true;
    }
    case WM_WINDOWPOSCHANGED:
        if (lparam)
            OnWindowPosChanged(*reinterpret_cast<const WINDOWPOS*>(lparam));
        return true;
    case WM_SHOWWINDOW:
        OnShowWindow(wparam != 0);
        return true;
    case WM_MOUSEMOVE:
        OnMouseMove(wparam, PointFromLParam(lparam));
        break;
    case kTwMouseLeave:
        OnMouseLeave();
        break;
    case WM_LBUTTONDOWN:
        OnLButtonDown(wparam, PointFromLParam(lparam));
        break;
    case WM_LBUTTONUP:
        OnLButtonUp(wparam, PointFromLParam(lparam));
        break;
    default:
        return false;
    }
    if (m_mouseHook)
        m_mouseHook->OnElementMouse(*this, message, wparam, lparam);
    return true;
}

void CTwWindow::OnPaint(HDC dc) {
    PaintText(dc);
}

SIZE CTwWindow::OnMeasure(bool placing, SIZE offered) {
    if (placing && m_pos.count == 4)
        return ToSize(FourValueSize(m_pos, offered.cx, offered.cy));
    RECT available = m_rect;
    if (placing)
        available =
            RECT{m_rect.left, m_rect.top, m_rect.left + offered.cx, m_rect.top + offered.cy};
    return TextSize(available);
}

void CTwWindow::OnWindowPosChanged(const WINDOWPOS& pos) {
    OffsetRect(&m_rect, pos.x - m_rect.left, pos.y - m_rect.top);
    SIZE size = {pos.cx, pos.cy};
    Send(WM_NCCALCSIZE, 1, reinterpret_cast<LPARAM>(&size));
    m_rect = ToRect(FinalRect(m_pos, ChildPlacement{pos.x, pos.y, pos.cx, pos.cy}, ToTwSize(size)));
}

void CTwWindow::OnShowWindow(bool visible) {
    ChangeState(visible ? 0 : kTwInvisible, visible ? kTwInvisible : 0);
}

void CTwWindow::OnMouseMove(WPARAM, POINT) {
    if (m_notify & 1)
        NotifyElementEvent(3);
}

void CTwWindow::OnMouseLeave() {
    if (m_notify & 2)
        NotifyElementEvent(4);
}

void CTwWindow::OnLButtonDown(WPARAM, POINT) {}
void CTwWindow::OnLButtonUp(WPARAM, POINT) {}

bool CTwWindow::IsShown() const {
    for (const CTwWindow* element = this; element; element = element->Parent()) {
        if (element->Has(kTwInvisible))
            return false;
    }
    return true;
}

bool CTwWindow::IsDisabled() const {
    for (const CTwWindow* element = this; element; element = element->Parent()) {
        if (element->Has(kTwDisabled))
            return true;
    }
    return false;
}

unsigned CTwWindow::EffectiveState() const {
    return m_state | (IsDisabled() ? kTwDisabled : 0u);
}

bool CTwWindow::InHighlightArea() const {
    for (const CTwWindow* element = this; element; element = element->Parent()) {
        if (element->m_contrastHighlight)
            return true;
    }
    return false;
}

COLORREF CTwWindow::ContrastPictureColor() const {
    if (IsDisabled())
        return ContrastColor(TwContrastInk::Unavailable);
    if (LitInContrast())
        return ContrastColor(TwContrastInk::HighlightText);
    return ContrastColor(InHighlightArea() ? TwContrastInk::Highlight : TwContrastInk::Text);
}

TextSubject CTwWindow::MakeTextSubject() const {
    TextSubject subject;
    subject.style = &Style();
    subject.ownFont = m_font;
    subject.ownText = m_crtext;
    subject.ownBackground = m_crbg;
    subject.disabled = IsDisabled();
    subject.hovered = Has(kTwHover);
    subject.onHighlight = LitInContrast() || InHighlightArea();
    for (const CTwWindow* ancestor = Parent(); ancestor; ancestor = ancestor->Parent())
        subject.ancestors.emplace_back(ancestor->m_font, &ancestor->Style());
    return subject;
}

SIZE CTwWindow::TextSize(const RECT& available) const {
    return MeasureElementText(m_text, MakeTextSubject(), available);
}

void CTwWindow::PaintText(HDC dc) {
    if (m_text.empty())
        return;
    if (m_textMode == 0)
        m_textMode = Style().textMode;
    PaintElementText(dc, m_text, m_rect, MakeTextSubject(), m_textMode);
}

bool CTwWindow::RequestRepaint() {
    return RequestRepaintRect(m_rect);
}

bool CTwWindow::RequestRepaintRect(const RECT& rect) {
    if (!m_container || !IsWindow(m_container) || !IsShown())
        return false;
    TwInvalidateNotify record = {};
    record.hdr.idFrom = static_cast<UINT_PTR>(m_commandId);
    record.hdr.code = kTwInvalidate;
    record.element = m_handle;
    record.rect = rect;
    SendMessageW(m_container, WM_NOTIFY, static_cast<WPARAM>(m_commandId),
                 reinterpret_cast<LPARAM>(&record));
    return true;
}

unsigned CTwWindow::ChangeStateWithRepaint(unsigned add, unsigned remove) {
    const unsigned old = ChangeState(add, remove);
    if (RepaintsOnStateChange())
        RequestRepaint();
    // Screen readers hear of the states they show: checked and unavailable.
    if (((old ^ m_state) & (kTwChecked | kTwDisabled)) && AccessibleRole() != 0)
        RaiseAccessibleEvent(EVENT_OBJECT_STATECHANGE, m_container, static_cast<long>(m_handle));
    return old;
}

void CTwWindow::NotifyElementEvent(int action) {
    TwElementNotify record = {};
    record.itemId = m_commandId;
    record.className = "wnd";
    record.action = action;
    SendToHost(record, kTwElementEvent);
}

void CTwWindow::PlaceAgain() {
    CTwWindow* parent = Parent();
    if (parent && parent->IsContainerKind())
        static_cast<CTwContainerWnd*>(parent)->PlaceChild(*this);
}
