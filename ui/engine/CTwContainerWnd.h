#pragma once
// Elements that hold children: the container base, the flow panel ("div"),
// the dialog container ("dlg", which places its children by their positions)
// and the dialog button ("dlgbtn", a dlg that acts as one button). Children
// are owned in document order, which is paint order and hit-test order.

#include <memory>
#include <vector>

#include "ui/engine/CTwWindow.h"

class CTwContainerWnd : public CTwWindow {
public:
    const char* TagName() const override { return "container"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;

    void AttachHostWindow(HWND host) override;
    TwHandle ElementAt(int x, int y, bool mouse) override;
    bool IsContainerKind() const override { return true; }
    bool PaintInto(HDC dc, HRGN region) override;
    void ShowRealWindows(bool visible) override;

    virtual CTwWindow* FindById(int id);
    virtual void PlaceAllChildren() {}
    virtual void PlaceChild(CTwWindow&) {}

    // Takes a child at the end of the list, giving it this parent and host.
    CTwWindow& AppendChild(std::unique_ptr<CTwWindow> child);
    // Each child gets WM_DESTROY, then all are deleted.
    void DestroyChildren();
    const std::vector<std::unique_ptr<CTwWindow>>& Children() const { return m_children; }
    bool OnlyDrawChild() const { return m_onlyDrawChild != 0; }
    void SetOnlyDrawChild(bool on) { m_onlyDrawChild = on ? 1 : 0; }

protected:
    void OnShowWindow(bool visible) override;
    void OnDestroy() override { DestroyChildren(); }
    // Paints every shown child in list order with this element's font and
    // colours selected.
    bool PaintChildren(HDC dc, HRGN region);

private:
    std::vector<std::unique_ptr<CTwWindow>> m_children;
    int m_onlyDrawChild = 0;
};

// The container loader: its own attributes, then one child per element
// that the tag factory knows, in document order.
class CTwPanel : public CTwContainerWnd {
public:
    const char* TagName() const override { return "div"; }
    int LoadFromXml(const TiXmlElement* element) override;
};

class CTwDialog : public CTwPanel {
public:
    const char* TagName() const override { return "dlg"; }
    CTwWindow* FindById(int id) override;
    void PlaceAllChildren() override;
    // The child's corner in the inner rectangle, offered the inner size.
    void PlaceChild(CTwWindow& child) override;

protected:
    void OnWindowPosChanged(const WINDOWPOS& pos) override;
};

// A dlg that acts as one button. With accrole="check" it is told to screen
// readers as a check box, checked while its kTwChecked bit is set.
class CTwDialogButton : public CTwDialog {
public:
    const char* TagName() const override { return "dlgbtn"; }
    int LoadFromXml(const TiXmlElement* element) override;
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;
    bool RepaintsOnStateChange() override { return true; }
    int KeyboardStops() const override { return 1; }
    bool IsOneControl() const override { return true; }
    long AccessibleRole() const override;
    // The layout's name, else the texts inside it.
    std::wstring AccessibleName() const override;

private:
    bool m_checkRole = false;
};

// The first element with the id among `children`, then below them: direct
// children first, then each container's subtree in order.
CTwWindow* FindChildById(const std::vector<std::unique_ptr<CTwWindow>>& children, int id);
