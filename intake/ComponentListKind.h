#pragma once
// The component's kinds (SignatureListKind, its interface's numbers) and the
// tool's ListKind, converted where the processor talks to the component.

#include "common/ListKind.h"
#include "intake/DetectionComponent.h"

inline constexpr SignatureListKind ComponentKindOf(ListKind kind) {
    return kind == ListKind::Trusted ? kSignatureTrusted : kSignatureBlack;
}

// kSignatureNone has no list: callers ask for a kind they know is one.
inline constexpr ListKind ListKindOf(SignatureListKind kind) {
    return kind == kSignatureTrusted ? ListKind::Trusted : ListKind::Black;
}
