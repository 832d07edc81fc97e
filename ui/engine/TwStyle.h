#pragma once
// Style classes ("class" in the style document) and colour sets ("color" in
// the colour document) as the elements use them: the plain records of
// ui/engine/TwStyleRecord.h with the fonts and the cursor they name.

#include <string>

#include <windows.h>

#include "ui/core/CTwObject.h"
#include "ui/core/TwNotation.h"
#include "ui/engine/TwStyleRecord.h"

class TwColor : public CTwObject {
public:
    const char* TagName() const override { return "color"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;

    std::string name;
    TwColorValues colors;
};

class TwStyle : public CTwObject, public TwStyleRecord {
public:
    TwStyle() = default;
    // A style made from a record read off the document: its fonts and
    // cursor made, its colour set's colours taken.
    explicit TwStyle(const TwStyleRecord& record);
    const char* TagName() const override { return "style"; }
    // Style elements of the document are "class" elements.
    bool MatchesTag(const char* tag) const override;
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;
    // Takes the colours of the colour set of the same name, when there is one.
    void AfterAttributes() override;

    HFONT font = nullptr;
    HFONT hoverFont = nullptr;
    LPCWSTR cursor = IDC_ARROW;

private:
    void MakeFontsAndCursor();
};
