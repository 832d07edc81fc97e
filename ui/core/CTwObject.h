#pragma once
// The root of everything a UI document describes: layout elements, style
// classes, colour sets and skins. A class matches its own XML tag exactly,
// loads itself by applying every attribute in document order, and answers
// attributes through ApplyAttribute:
//   0 or 1  taken (skins answer 1 when their natural size changed),
//   E_FAIL  unknown to the class and all its bases, or a value out of range.
// The answers are HRESULTs; HRESULT is a long on Windows, and the base is
// declared with long so that it needs no platform header.
// A derived class hands a name to its base first and keeps the base's
// success; only on E_FAIL does it look at the names it knows itself.

class TiXmlElement;

inline constexpr long kAttributeTaken = 0;
inline constexpr long kAttributeUnknown = -0x7FFFBFFBL; // E_FAIL (0x80004005)

class CTwObject {
public:
    virtual ~CTwObject() = default;

    virtual bool MatchesTag(const char* tag) const;
    virtual const char* TagName() const = 0;
    // Applies every attribute (loading = true), then AfterAttributes; 1.
    virtual int LoadFromXml(const TiXmlElement* element);
    virtual void AfterAttributes() {}
    virtual long ApplyAttribute(const char* name, const char* value, bool loading);

protected:
    CTwObject() = default;
};

// True when ApplyAttribute answered with success.
inline bool AttributeTaken(long result) {
    return result == 0 || result == 1;
}
