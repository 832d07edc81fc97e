#pragma once
// A named drawing recipe of the skins document. Slots 0-5 are those of
// CTwObject; the drawing slots follow in this order.

#include <type_traits>

#include <windows.h>

#include "ui/core/CTwObject.h"
#include "ui/skin/TwGdiplus.h"

// The answers of ApplyAttribute are the platform's HRESULTs.
static_assert(std::is_same_v<HRESULT, long> && kAttributeUnknown == E_FAIL);

class CTwSkinBase : public CTwObject {
public:
    // Slot 6: the state is a sub-image index for picture kinds and the
    // element state bits for button and imghorzex.
    virtual void Draw(HDC dc, const RECT& rect, int state) = 0;
    virtual void DrawPoints(HDC, const POINT (&)[3], const RECT&) {}
    virtual void DrawAlpha(HDC, POINT, BYTE) {}
    virtual void DrawPart(HDC, const RECT&, const RECT&) {}
    virtual void DrawTile(HDC, const RECT&) {}
    virtual void DrawGray(HDC, POINT) {}
    virtual void DrawMirrored(HDC, const RECT&) {}
    virtual SIZE GetSkinSize() { return SIZE{0, 0}; }
    virtual bool IgnoreState() { return true; }
    // Loads the image on first use; non-zero when the skin can draw.
    virtual int Prepare() { return 1; }
    virtual void DrawToGraphics(Gdiplus::GpGraphics*, const RECT&, POINT) {}

    bool IsPrepared() const { return m_prepared != 0; }

protected:
    int m_prepared = 0;
};

inline constexpr int kStateHover = 0x01;
inline constexpr int kStatePushed = 0x02;
inline constexpr int kStateDisabled = 0x10;
