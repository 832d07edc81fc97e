#pragma once
// The component's numbers for which list holds an MD5, as its ISignatureList
// reports and takes them (intake/DetectionComponent.h). No platform header:
// the stand-in component's list table uses them too.

enum SignatureListKind { kSignatureNone = 0, kSignatureTrusted = 1, kSignatureBlack = 2 };

// Some of the two lists.
struct ListSet {
    bool trusted = false;
    bool black = false;

    bool Any() const { return trusted || black; }
    bool Has(SignatureListKind list) const {
        return list == kSignatureTrusted ? trusted : list == kSignatureBlack && black;
    }
    void Add(SignatureListKind list) {
        trusted = trusted || list == kSignatureTrusted;
        black = black || list == kSignatureBlack;
    }
    // These lists but those of `other`.
    ListSet Without(const ListSet& other) const {
        return ListSet{trusted && !other.trusted, black && !other.black};
    }
    // The list an MD5 on these lists is put on at the component: the
    // blacklist wins.
    SignatureListKind Dominant() const {
        return black ? kSignatureBlack : trusted ? kSignatureTrusted : kSignatureNone;
    }
};
