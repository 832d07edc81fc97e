#pragma once
// The picture widgets the program's own layouts do not use, each drawing its
// skin one way: as a background ("imgbg", tiled with `fill`), through a
// scrolled window onto it ("scrollimg"), as a stretchable three-part button
// ("imgbtnsized"), grey on demand ("imggray"), with a constant opacity
// ("imgex") or turned by an angle ("imgrotale"); and two that draw a
// picture that is not a skin: a bitmap handed over by code ("memimage") and
// an image file ("storageimage").

#include <memory>

#include "ui/engine/CTwSkinnedElement.h"
#include "ui/skin/CTwBitmap.h"

class CTwImageBg : public CTwSkinnedElement {
public:
    const char* TagName() const override { return "imgbg"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;

protected:
    void OnPaint(HDC dc) override;

private:
    int m_fill = 0;
};

class CTwImageScroll : public CTwSkinnedElement {
public:
    const char* TagName() const override { return "scrollimg"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;

protected:
    void OnPaint(HDC dc) override;
    // A scrolled picture takes the size it is given, not the skin's.
    SIZE OnMeasure(bool placing, SIZE offered) override;

private:
    int m_hscroll = 0;
    int m_vscroll = 0;
    int m_hpos = 0;
    int m_vpos = 0;
};

class CTwImgbtnsized : public CTwSkinnedElement {
public:
    const char* TagName() const override { return "imgbtnsized"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;
    bool RepaintsOnStateChange() override { return true; }
    bool LitInContrast() const override;
    int KeyboardStops() const override { return 1; }
    long AccessibleRole() const override;

protected:
    // The state's picture, with the middle skin stretched between the ends.
    void OnPaint(HDC dc) override;
    SIZE OnMeasure(bool placing, SIZE offered) override;

private:
    std::string m_skinMid;
    int m_left = 0;
};

class CTwImgGray : public CTwSkinnedElement {
public:
    const char* TagName() const override { return "imggray"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;

protected:
    void OnPaint(HDC dc) override;

private:
    int m_gray = 0;
};

class CTwImageEx : public CTwSkinnedElement {
public:
    const char* TagName() const override { return "imgex"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;

protected:
    void OnPaint(HDC dc) override;

private:
    int m_alpha = 255;
};

class CTwImageRotale : public CTwSkinnedElement {
public:
    const char* TagName() const override { return "imgrotale"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;

protected:
    void OnPaint(HDC dc) override;

private:
    int m_angle = 0; // degrees, clockwise
};

class CTwMemoryImage : public CTwWindow {
public:
    const char* TagName() const override { return "memimage"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;

protected:
    // The bitmap stretched over the rectangle; nothing for a handle that is
    // not a bitmap.
    void OnPaint(HDC dc) override;

private:
    HBITMAP m_bitmap = nullptr; // borrowed from the code that set it
};

class CTwStorageImage : public CTwWindow {
public:
    const char* TagName() const override { return "storageimage"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;

protected:
    void OnPaint(HDC dc) override;
    SIZE OnMeasure(bool placing, SIZE offered) override;

private:
    std::unique_ptr<CTwBitmap> m_picture; // empty when the file does not decode
};

// The three corners of a picture w x h turned by `degrees` about the centre
// of `rect`: upper-left, upper-right, lower-left (as DrawPoints takes them).
void RotatedCorners(const RECT& rect, int width, int height, int degrees, POINT (&corners)[3]);
