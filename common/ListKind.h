#pragma once
// Which of the tool's two lists an entry is on: the trusted files (the
// whitelist) or the files treated as malicious (the blacklist). The one name
// of that idea in the code; the encodings the system fixes are converted at
// their edges: the store's table names (store/UserListSql), the component's
// kinds (SignatureListKind, intake/DetectionComponent.h) and the window's
// tab and group indices (app/).

enum class ListKind { Trusted, Black };

inline constexpr ListKind OtherList(ListKind kind) {
    return kind == ListKind::Trusted ? ListKind::Black : ListKind::Trusted;
}
