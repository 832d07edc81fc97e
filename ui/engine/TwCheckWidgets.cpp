#include "ui/engine/TwCheckWidgets.h"

#include <algorithm>
#include <cstring>

#include "ui/core/TwNotation.h"
#include "ui/engine/TwWidgetStates.h"

namespace {

// The visual-style functions of uxtheme, resolved when first needed.
struct ThemeApi {
    using OpenFn = HANDLE(WINAPI*)(HWND, LPCWSTR);
    using CloseFn = HRESULT(WINAPI*)(HANDLE);
    using DrawFn = HRESULT(WINAPI*)(HANDLE, HDC, int, int, const RECT*, const RECT*);
    using ActiveFn = BOOL(WINAPI*)();
    OpenFn open = nullptr;
    CloseFn close = nullptr;
    DrawFn draw = nullptr;
    ActiveFn active = nullptr;

    static const ThemeApi& Get() {
        static const ThemeApi api = [] {
            ThemeApi a;
            if (HMODULE module = LoadLibraryW(L"uxtheme.dll")) {
                a.open = reinterpret_cast<OpenFn>(
                    reinterpret_cast<void*>(GetProcAddress(module, "OpenThemeData")));
                a.close = reinterpret_cast<CloseFn>(
                    reinterpret_cast<void*>(GetProcAddress(module, "CloseThemeData")));
                a.draw = reinterpret_cast<DrawFn>(
                    reinterpret_cast<void*>(GetProcAddress(module, "DrawThemeBackground")));
                a.active = reinterpret_cast<ActiveFn>(
                    reinterpret_cast<void*>(GetProcAddress(module, "IsThemeActive")));
            }
            return a;
        }();
        return api;
    }
};

constexpr int kPartRadio = 2; // BP_RADIOBUTTON
constexpr int kPartCheck = 3; // BP_CHECKBOX

} // namespace

RECT CheckBoxRect(const RECT& element) {
    const int top = element.top + (element.bottom - element.top - kBoxSize) / 2;
    return RECT{element.left, top, element.left + kBoxSize, top + kBoxSize};
}

CTwCheckBase::CTwCheckBase(bool radio, const char* skin, const char* skinCheck)
    : m_radio(radio), m_skin(skin), m_skinCheck(skinCheck) {}

HRESULT CTwCheckBase::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwWindow::ApplyAttribute(name, value, loading);
    if (AttributeTaken(base))
        return base;
    if (std::strcmp(name, "skin") == 0)
        m_skin = value;
    else if (std::strcmp(name, "skin_check") == 0)
        m_skinCheck = value;
    else if (std::strcmp(name, "check") == 0)
        ReadDecimal(value) ? ChangeState(kTwChecked, 0) : ChangeState(0, kTwChecked);
    else
        return E_FAIL;
    return S_OK;
}

void CTwCheckBase::DrawBox(HDC dc, const RECT& box) const {
    const ThemeApi& theme = ThemeApi::Get();
    if (theme.open && theme.draw && theme.close && (!theme.active || theme.active())) {
        if (HANDLE data = theme.open(HostWindow(), L"BUTTON")) {
            const HRESULT drawn = theme.draw(data, dc, m_radio ? kPartRadio : kPartCheck,
                                             ThemedBoxState(State(), IsDisabled()), &box, nullptr);
            theme.close(data);
            if (SUCCEEDED(drawn))
                return;
        }
    }
    RECT frame = box;
    DrawFrameControl(dc, &frame, DFC_BUTTON, FrameBoxFlags(State(), IsDisabled(), m_radio));
}

void CTwCheckBase::OnPaint(HDC dc) {
    DrawBox(dc, CheckBoxRect(Rect()));
    if (Text().empty())
        return;
    unsigned& mode = TextMode();
    if (mode == 0)
        mode = (Style().textMode | DT_VCENTER) & ~static_cast<unsigned>(DT_BOTTOM);
    RECT textRect = Rect();
    textRect.left += kBoxTextOffset;
    PaintElementText(dc, Text(), textRect, MakeTextSubject(), mode);
}

SIZE CTwCheckBase::OnMeasure(bool placing, SIZE offered) {
    if (placing && Pos().count == 4)
        return CTwWindow::OnMeasure(placing, offered);
    SIZE size = CTwWindow::OnMeasure(placing, offered);
    size.cx += kBoxTextOffset;
    size.cy = std::max<LONG>(size.cy, kBoxSize);
    return size;
}

void CTwCheckBox::OnLButtonUp(WPARAM keys, POINT point) {
    CTwCheckBase::OnLButtonUp(keys, point);
    IsChecked() ? ChangeStateWithRepaint(0, kTwChecked) : ChangeStateWithRepaint(kTwChecked, 0);
}

HRESULT CTwRadioBox::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwCheckBase::ApplyAttribute(name, value, loading);
    if (AttributeTaken(base))
        return base;
    if (std::strcmp(name, "group") == 0) {
        m_group.Set(value);
        return S_OK;
    }
    return E_FAIL;
}

void CTwRadioBox::OnLButtonUp(WPARAM keys, POINT point) {
    CTwCheckBase::OnLButtonUp(keys, point);
    ScopedLock lock(TwElementRegistry::Instance().Lock());
    ChangeStateWithRepaint(kTwChecked, 0);
    for (CTwWindow* other : m_group.Others()) {
        if (other->Has(kTwChecked))
            other->ChangeStateWithRepaint(0, kTwChecked);
    }
}
