#pragma once
// The VARIANT by which IAccessible calls name a child (CHILDID_SELF: the
// object itself).

#include <windows.h>

#include <oleauto.h>

namespace testsupport {

inline VARIANT ChildVariant(long child) {
    VARIANT id;
    VariantInit(&id);
    id.vt = VT_I4;
    id.lVal = child;
    return id;
}

} // namespace testsupport
