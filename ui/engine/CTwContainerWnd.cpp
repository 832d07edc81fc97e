#include "ui/engine/CTwContainerWnd.h"

#include <cstring>

#include "ui/core/TwGeometryWin32.h"
#include "ui/engine/TwElementFactory.h"
#include "ui/core/TwNotation.h"
#include "ui/core/TwXml.h"

HRESULT CTwContainerWnd::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwWindow::ApplyAttribute(name, value, loading);
    if (AttributeTaken(base))
        return base;
    if (std::strcmp(name, "onlydrawchild") == 0) {
        m_onlyDrawChild = ReadDecimal(value);
        return S_OK;
    }
    return E_FAIL;
}

void CTwContainerWnd::AttachHostWindow(HWND host) {
    CTwWindow::AttachHostWindow(host);
    for (const auto& child : m_children)
        child->AttachHostWindow(host);
}

TwHandle CTwContainerWnd::ElementAt(int x, int y, bool mouse) {
    const POINT point = {x, y};
    if (!PtInRect(&Rect(), point))
        return 0;
    if (OnlyDrawChild())
        return Handle();
    for (const bool floating : {true, false}) {
        for (const auto& child : m_children) {
            if (child->IsFloating() != floating || child->IsTransparent() ||
                child->Has(kTwInvisible))
                continue;
            if (const TwHandle hit = child->ElementAt(x, y, mouse))
                return hit;
        }
    }
    return Handle();
}

bool CTwContainerWnd::PaintInto(HDC dc, HRGN region) {
    if (!CTwWindow::PaintInto(dc, region))
        return false;
    return PaintChildren(dc, region);
}

bool CTwContainerWnd::PaintChildren(HDC dc, HRGN region) {
    ScopedTextLook look(dc, ChooseTextLook(MakeTextSubject()));
    for (const auto& child : m_children) {
        if (!child->Has(kTwInvisible))
            child->PaintInto(dc, region);
    }
    return true;
}

CTwWindow* CTwContainerWnd::FindById(int) {
    return nullptr;
}

CTwWindow& CTwContainerWnd::AppendChild(std::unique_ptr<CTwWindow> child) {
    child->SetParentHandle(Handle());
    child->AttachHostWindow(HostWindow());
    m_children.push_back(std::move(child));
    return *m_children.back();
}

void CTwContainerWnd::DestroyChildren() {
    // Taken out first so that nothing reaches a half-destroyed list.
    std::vector<std::unique_ptr<CTwWindow>> children;
    children.swap(m_children);
    for (const auto& child : children)
        child->Send(WM_DESTROY);
}

void CTwContainerWnd::OnShowWindow(bool visible) {
    CTwWindow::OnShowWindow(visible);
    ShowRealWindows(IsShown());
}

void CTwContainerWnd::ShowRealWindows(bool visible) {
    for (const auto& child : m_children)
        child->ShowRealWindows(visible && !child->Has(kTwInvisible));
}

int CTwPanel::LoadFromXml(const TiXmlElement* element) {
    if (!CTwWindow::LoadFromXml(element))
        return 0;
    DestroyChildren();
    for (const TiXmlElement* child = element->FirstChildElement(); child;
         child = child->NextSiblingElement()) {
        std::unique_ptr<CTwWindow> created = CreateElement(child->Value());
        if (!created)
            continue;
        created->SetParentHandle(Handle());
        created->AttachHostWindow(HostWindow());
        created->LoadFromXml(child);
        AppendChild(std::move(created));
    }
    return 1;
}

CTwWindow* FindChildById(const std::vector<std::unique_ptr<CTwWindow>>& children, int id) {
    for (const auto& child : children) {
        if (child->CommandId() == id)
            return child.get();
    }
    for (const auto& child : children) {
        if (!child->IsContainerKind())
            continue;
        if (CTwWindow* found = static_cast<CTwContainerWnd&>(*child).FindById(id))
            return found;
    }
    return nullptr;
}

CTwWindow* CTwDialog::FindById(int id) {
    return FindChildById(Children(), id);
}

void CTwDialog::PlaceAllChildren() {
    for (const auto& child : Children())
        PlaceChild(*child);
}

void CTwDialog::PlaceChild(CTwWindow& child) {
    const TwStyle& style = Style();
    const ChildPlacement placement =
        PlaceInInner(child.Pos(), InnerRect(ToTwRect(Rect()), style.xMargin, style.yMargin));
    WINDOWPOS pos = {};
    pos.x = placement.x;
    pos.y = placement.y;
    pos.cx = placement.cx;
    pos.cy = placement.cy;
    child.Send(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
}

void CTwDialog::OnWindowPosChanged(const WINDOWPOS& pos) {
    CTwPanel::OnWindowPosChanged(pos);
    PlaceAllChildren();
}

HRESULT CTwDialogButton::ApplyAttribute(const char* name, const char* value, bool loading) {
    if (std::strcmp(name, "accrole") == 0) {
        m_checkRole = std::strcmp(value, "check") == 0;
        return S_OK;
    }
    return CTwDialog::ApplyAttribute(name, value, loading);
}

namespace {

void AppendTexts(const CTwContainerWnd& container, std::wstring& out) {
    for (const auto& child : container.Children()) {
        if (!child->Text().empty()) {
            if (!out.empty())
                out += L' ';
            out += child->Text();
        }
        if (child->IsContainerKind())
            AppendTexts(static_cast<const CTwContainerWnd&>(*child), out);
    }
}

} // namespace

std::wstring CTwDialogButton::AccessibleName() const {
    std::wstring name = CTwDialog::AccessibleName();
    if (name.empty())
        AppendTexts(*this, name);
    return name;
}

int CTwDialogButton::LoadFromXml(const TiXmlElement* element) {
    const int loaded = CTwDialog::LoadFromXml(element);
    SetOnlyDrawChild(true);
    return loaded;
}
