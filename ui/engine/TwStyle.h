#pragma once
// Style classes ("class" in the style document) and colour sets ("color" in
// the colour document).

#include <string>

#include <windows.h>

#include "ui/core/CTwObject.h"
#include "ui/core/TwNotation.h"

inline constexpr unsigned kDefaultTextMode = 0x28; // DT_BOTTOM | DT_SINGLELINE
inline constexpr COLORREF kDefaultDisabledColor = 0xCCCCCC;

// The six colours a colour set gives a style.
struct TwColorValues {
    COLORREF crbg = kNoColor;
    COLORREF crbghover = kNoColor;
    COLORREF crtext = kNoColor;
    COLORREF crhover = kNoColor;
    COLORREF crdisabled = kDefaultDisabledColor;
    COLORREF crshadow = kNoColor;
};

// Takes one of the six colour attributes into `colors`; E_FAIL for other names.
HRESULT ApplyColorAttribute(TwColorValues& colors, const char* name, const char* value);

class TwColor : public CTwObject {
public:
    const char* TagName() const override { return "color"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;

    std::string name;
    TwColorValues colors;
};

class TwStyle : public CTwObject {
public:
    TwStyle();
    const char* TagName() const override { return "style"; }
    // Style elements of the document are "class" elements.
    bool MatchesTag(const char* tag) const override;
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;
    // Takes the colours of the colour set of the same name, when there is one.
    void AfterAttributes() override;

    std::string name;
    std::string skin;
    unsigned textMode = kDefaultTextMode;
    TwColorValues colors;
    HFONT font = nullptr;
    HFONT hoverFont = nullptr;
    int xMargin = 0;
    int yMargin = 0;
    int spacing = 0;
    int lineSpacing = 20;
    bool shadow = false;
    bool gdiplus = false;
    LPCWSTR cursor = IDC_ARROW;
};
