#include "ui/engine/TwViewFocus.h"

#include <string>

#include "common/GdiObjects.h"
#include "ui/engine/CTwDialogView.h"
#include "ui/engine/CTwRealWnd.h"
#include "ui/engine/CTwTabCtrl.h"
#include "ui/engine/TwViewAccessible.h"
#include "ui/engine/TwHighContrast.h"

namespace {

constexpr int kCueMargin = 2;

bool Pressed(int key) {
    return GetKeyState(key) < 0;
}

} // namespace

HWND TwViewFocus::RealWindowOf(const TwFocusStop& stop) const {
    const CTwWindow* element = ResolveElement(stop.element);
    if (!element || std::string(element->TagName()) != "realwnd")
        return nullptr;
    return static_cast<const CTwRealWnd*>(element)->RealWindow();
}

std::vector<TwFocusStop> TwViewFocus::Order() const {
    std::vector<FocusCandidate> candidates;
    for (const CTwDialog* section : m_view.LoadedSections())
        CollectStops(*section, candidates);
    return OrderStops(candidates);
}

TwFocusStop TwViewFocus::Current() const {
    HWND focus = GetFocus();
    HWND view = m_view.Hwnd();
    if (focus && focus != view && IsChild(view, focus)) {
        for (const TwFocusStop& stop : Order()) {
            HWND real = RealWindowOf(stop);
            if (real && (real == focus || IsChild(real, focus)))
                return stop;
        }
    }
    return m_current;
}

void TwViewFocus::Set(const TwFocusStop& stop) {
    const TwFocusStop old = m_current;
    RepaintCue();
    m_current = stop;
    if (HWND real = RealWindowOf(stop)) {
        SetFocus(real);
        return;
    }
    if (GetFocus() != m_view.Hwnd())
        SetFocus(m_view.Hwnd()); // the view's focus handler repaints and tells readers
    else if (old != stop)
        RaiseAccessibleEvent(EVENT_OBJECT_FOCUS, m_view.Hwnd(), AccessibleNodeOfStop(stop));
    RepaintCue();
}

bool TwViewFocus::FocusElement(int id) {
    const CTwWindow* element = m_view.FindById(id);
    if (!element)
        return false;
    for (const TwFocusStop& stop : Order()) {
        if (stop.element == element->Handle()) {
            Set(stop);
            return true;
        }
    }
    return false;
}

void TwViewFocus::OnClicked(TwHandle element) {
    const CTwWindow* clicked = ResolveElement(element);
    if (clicked && clicked->KeyboardStops() > 0 && m_current.element != element) {
        RepaintCue();
        m_current = TwFocusStop{element, 0};
        RepaintCue();
    }
}

bool TwViewFocus::Move(bool forward) {
    const std::vector<TwFocusStop> order = Order();
    if (order.empty())
        return false;
    Set(order[NextStopIndex(order, Current(), forward)]);
    return true;
}

bool TwViewFocus::SwitchTab(int step) {
    CTwTabCtrl* tabs = m_view.FirstTabControl();
    return tabs && !tabs->IsDisabled() && tabs->StepTab(step);
}

bool TwViewFocus::OnKey(const MSG& message) {
    if (message.message == WM_SYSKEYDOWN && message.wParam == VK_MENU) {
        // Alt: the window shows what the keyboard can reach.
        ShowCues();
        return false;
    }
    if (message.message != WM_KEYDOWN)
        return false;
    const bool control = Pressed(VK_CONTROL);
    const bool shift = Pressed(VK_SHIFT);
    switch (message.wParam) {
    case VK_TAB:
        ShowCues();
        if (control)
            SwitchTab(shift ? -1 : 1);
        else
            Move(!shift);
        return true;
    case VK_NEXT:
    case VK_PRIOR:
        if (!control)
            break;
        ShowCues();
        SwitchTab(message.wParam == VK_NEXT ? 1 : -1);
        return true;
    default:
        break;
    }
    // The other keys act on a drawn stop, with the platform's focus on the view.
    if (message.hwnd != m_view.Hwnd() || control || m_current.IsNone())
        return false;
    CTwWindow* element = ResolveElement(m_current.element);
    if (!element || !element->IsShown() || element->IsDisabled())
        return false;
    ShowCues();
    if (message.wParam == VK_SPACE || message.wParam == VK_RETURN)
        return Activate(m_current);
    if (element->OnStopKey(m_current.part, static_cast<UINT>(message.wParam))) {
        RepaintCue();
        return true;
    }
    return false;
}

bool TwViewFocus::Activate(const TwFocusStop& stop) {
    CTwWindow* element = ResolveElement(stop.element);
    if (!element || !element->IsShown() || element->IsDisabled())
        return false;
    if (element->ActivateStop(stop.part))
        return true;
    if (HWND real = RealWindowOf(stop)) {
        SetFocus(real);
        return true;
    }
    m_view.ClickElement(stop.element);
    return true;
}

void TwViewFocus::ResetCues() {
    BOOL always = FALSE;
    SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &always, 0);
    m_cuesShown = always != FALSE;
}

void TwViewFocus::OnUpdateUiState(WPARAM wparam) {
    if (!(HIWORD(wparam) & UISF_HIDEFOCUS))
        return;
    if (LOWORD(wparam) == UIS_SET || LOWORD(wparam) == UIS_CLEAR) {
        m_cuesShown = LOWORD(wparam) == UIS_CLEAR;
        RepaintCue();
    }
}

void TwViewFocus::ShowCues() {
    HWND view = m_view.Hwnd();
    if (!view || m_cuesShown)
        return;
    m_cuesShown = true;
    // The window's other controls (the lists) learn it as the platform tells them.
    SendMessageW(GetAncestor(view, GA_ROOT), WM_CHANGEUISTATE,
                 MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    RepaintCue();
}

RECT TwViewFocus::CueRect(const TwFocusStop& stop) const {
    const CTwWindow* element = ResolveElement(stop.element);
    if (!element || !element->IsShown() || RealWindowOf(stop))
        return RECT{};
    RECT rect = element->StopRect(stop.part);
    if (IsRectEmpty(&rect))
        return RECT{};
    InflateRect(&rect, kCueMargin, kCueMargin);
    return rect;
}

void TwViewFocus::RepaintCue() const {
    const RECT rect = CueRect(m_current);
    if (!IsRectEmpty(&rect))
        m_view.RepaintArea(rect);
}

void TwViewFocus::PaintCue(HDC dc) const {
    if (GetFocus() != m_view.Hwnd() || !CuesShown())
        return;
    RECT rect = CueRect(m_current);
    if (IsRectEmpty(&rect))
        return;
    const std::uint32_t color = m_view.WindowStyle().focusColor;
    if (color == 0xFFFFFFFFu || HighContrastOn()) {
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &rect);
        return;
    }
    UniqueBrush brush(CreateSolidBrush(static_cast<COLORREF>(color)));
    FrameRect(dc, &rect, brush.Get());
}
