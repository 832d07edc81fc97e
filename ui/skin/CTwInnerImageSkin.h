#pragma once
// The shape shared by the skins drawn from an inner "imglst" image
// ("imgframe", "imghorzex"): every attribute the image knows goes to it
// (after the base's), the skin is prepared when the image is, and it
// follows the state when the image does.

#include "ui/skin/CTwImageSkin.h"

class CTwInnerImageSkin : public CTwSkinBase {
public:
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override {
        const HRESULT base = CTwSkinBase::ApplyAttribute(name, value, loading);
        return AttributeTaken(base) ? base : m_image.ApplyAttribute(name, value, loading);
    }
    bool IgnoreState() override { return m_image.IgnoreState(); }
    int Prepare() override {
        m_prepared = m_image.Prepare();
        return m_prepared;
    }

protected:
    CTwImageSkin m_image;
};
