#include "ui/skin/CTwNormalSkin.h"

#include <cstring>

#include "common/TextConvert.h"
#include "ui/core/TwNotation.h"
#include "ui/skin/TwImagePools.h"

namespace {

// The opacity kept under a key in section "alpha" of data\skin\skincfg.ini
// below the program's folder; 255 when absent.
int ConfiguredAlpha(const std::string& key) {
    const std::wstring file =
        TwSkinPool::Instance().ProgramDirectory() + L"data\\skin\\skincfg.ini";
    return static_cast<int>(
        GetPrivateProfileIntW(L"alpha", Utf8ToWide(key).c_str(), 255, file.c_str()));
}

BYTE Opacity(int alpha) {
    return static_cast<BYTE>(alpha < 0 ? 0 : alpha > 255 ? 255 : alpha);
}

} // namespace

HRESULT CTwNormalSkin::ApplyAttribute(const char* name, const char* value, bool loading) {
    const HRESULT base = CTwSkinBase::ApplyAttribute(name, value, loading);
    if (AttributeTaken(base))
        return base;
    if (std::strcmp(name, "file") == 0) {
        m_file = value;
        return 0;
    }
    if (std::strcmp(name, "alpha") == 0) {
        m_alpha = ReadDecimal(value);
        return 0;
    }
    if (std::strcmp(name, "extern_alpha_key") == 0) {
        m_alphaKey = value;
        return 0;
    }
    return ApplyPictureAttribute(m_attributes, kFullPictureAttributes, name, value);
}

int CTwNormalSkin::Prepare() {
    if (!m_prepared) {
        const std::wstring file = Utf8ToWide(m_file);
        if (TwSkinPool::Instance().Get(m_attributes.src, file.c_str(), PictureType(),
                                       m_picture.Bitmap())) {
            m_prepared = 1;
            if (!m_alphaKey.empty() && std::strcmp(TagName(), "skinpng") == 0)
                m_alpha = ConfiguredAlpha(m_alphaKey);
        }
    }
    return m_prepared;
}

void CTwNormalSkin::Draw(HDC dc, const RECT& rect, int state) {
    if (m_prepared)
        m_picture.Draw(dc, rect, state, m_attributes.slices, false, Opacity(m_alpha));
}

void CTwNormalSkin::DrawAlpha(HDC dc, POINT at, BYTE alpha) {
    if (m_prepared)
        m_picture.DrawAlpha(dc, at, alpha);
}

void CTwNormalSkin::DrawPart(HDC dc, const RECT& destination, const RECT& source) {
    if (m_prepared)
        m_picture.DrawPart(dc, destination, source, Opacity(m_alpha));
}

void CTwNormalSkin::DrawTile(HDC dc, const RECT& rect) {
    if (m_prepared)
        m_picture.DrawTile(dc, rect, Opacity(m_alpha));
}

void CTwNormalSkin::DrawGray(HDC dc, POINT at) {
    if (m_prepared)
        m_picture.DrawGray(dc, at, Opacity(m_alpha));
}

SIZE CTwNormalSkin::GetSkinSize() {
    if (!m_prepared)
        return SIZE{0, 0};
    const int w =
        m_attributes.slices.subwidth != 0 ? m_attributes.slices.subwidth : m_picture.Width();
    return SIZE{w, m_picture.Height()};
}
