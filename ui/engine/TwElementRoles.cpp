// What each kind of element is to a screen reader (its MSAA role), in one
// place: the engine's elements keep their drawing and mouse code in their
// own files.

#include <oleacc.h>

#include "ui/engine/CTwContainerWnd.h"
#include "ui/engine/CTwImageWnd.h"
#include "ui/engine/CTwRealWnd.h"
#include "ui/engine/CTwRichText.h"
#include "ui/engine/CTwSkinBtnWnd.h"
#include "ui/engine/CTwTabCtrl.h"
#include "ui/engine/TwCheckWidgets.h"
#include "ui/engine/TwPictureWidgets.h"
#include "ui/engine/TwTextWidgets.h"

long CTwStatic::AccessibleRole() const {
    return ROLE_SYSTEM_STATICTEXT;
}
long CTwLink::AccessibleRole() const {
    return ROLE_SYSTEM_LINK;
}
long CTwButton::AccessibleRole() const {
    return ROLE_SYSTEM_PUSHBUTTON;
}
long CTwSkinBtnWnd::AccessibleRole() const {
    return ROLE_SYSTEM_PUSHBUTTON;
}
long CTwImageBtnWnd::AccessibleRole() const {
    return ROLE_SYSTEM_PUSHBUTTON;
}
long CTwImgbtnsized::AccessibleRole() const {
    return ROLE_SYSTEM_PUSHBUTTON;
}
long CTwRichText::AccessibleRole() const {
    return ROLE_SYSTEM_STATICTEXT;
}
long CTwTabCtrl::AccessibleRole() const {
    return ROLE_SYSTEM_PAGETABLIST;
}
long CTwRealWnd::AccessibleRole() const {
    return ROLE_SYSTEM_WINDOW;
}

long CTwCheckBase::AccessibleRole() const {
    return std::string(TagName()) == "radio" ? ROLE_SYSTEM_RADIOBUTTON : ROLE_SYSTEM_CHECKBUTTON;
}

long CTwImageWnd::AccessibleRole() const {
    return AccessibleName().empty() ? 0 : ROLE_SYSTEM_GRAPHIC;
}

long CTwDialogButton::AccessibleRole() const {
    return m_checkRole ? ROLE_SYSTEM_CHECKBUTTON : ROLE_SYSTEM_PUSHBUTTON;
}
