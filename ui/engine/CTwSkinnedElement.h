#pragma once
// The shape every picture widget shares: a `skin` attribute naming a skin of
// the skins document, and a size whose dimensions the skin gives whenever
// it gives them (with a four-value position too).

#include <string>

#include "ui/engine/CTwWindow.h"
#include "ui/skin/CTwSkinBase.h"

class CTwSkinnedElement : public CTwWindow {
public:
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;

    const std::string& SkinName() const { return m_skin; }
    // The skin drawn, null when it does not exist.
    virtual CTwSkinBase* DrawnSkin() const;

protected:
    SIZE OnMeasure(bool placing, SIZE offered) override;

private:
    std::string m_skin;
};

// A named skin, null for an empty or unknown name.
CTwSkinBase* SkinNamed(const std::string& name);
