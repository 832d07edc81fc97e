#pragma once
// A dialog class bound as CTwDialogImpl binds it, with the soft drop shadow
// of the program's top-level dialogs.

#include <memory>

#include "ui/engine/CTwDialogHost.h"
#include "ui/windows/CShadowWnd.h"

template <class T> class CTwShadowedDialogImpl : public CTwDialogImpl<T> {
protected:
    CTwShadowedDialogImpl() { this->SetShadow(std::make_unique<CShadowWnd>()); }
};
