#pragma once
// "progress" and "progressex": a bar showing where `value` lies between
// `min` and `max` (skins for the track and the filled part, else the
// element's colours), optionally with the percentage ("%d%%", and for
// progressex "%d%%%s" with its extra text); and "slider", a track with a
// thumb at `sliderpos` (0 to 100) that the mouse moves.

#include <string>

#include "ui/engine/CTwWindow.h"

class CTwProgress : public CTwWindow {
public:
    const char* TagName() const override { return "progress"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;
    int Percent() const;

protected:
    void OnPaint(HDC dc) override;
    // The text drawn over the bar when the percentage is shown.
    virtual std::wstring PercentText() const;

private:
    std::string m_bgSkin;
    std::string m_posSkin;
    int m_skinPosX = 0;
    int m_min = 0;
    int m_max = 100;
    int m_value = 0;
    int m_showPercent = 0;
    int m_progressBar = 0;
};

class CTwProgressEx : public CTwProgress {
public:
    const char* TagName() const override { return "progressex"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;

protected:
    std::wstring PercentText() const override;

private:
    std::wstring m_extendText;
    int m_posImageLeft = 0;
};

class TwSlider : public CTwWindow {
public:
    const char* TagName() const override { return "slider"; }
    HRESULT ApplyAttribute(const char* name, const char* value, bool loading) override;
    bool RepaintsOnStateChange() override { return true; }
    int SliderPos() const { return m_pos; }

protected:
    void OnPaint(HDC dc) override;
    void OnLButtonDown(WPARAM keys, POINT point) override;
    void OnMouseMove(WPARAM keys, POINT point) override;

private:
    RECT Track() const;
    void MoveTo(int x);

    int m_pos = 0;
    std::string m_skinBg;
    std::string m_skinThumb;
    int m_margins[4] = {}; // left, right, top, bottom
};

// The slider position (0-100) for a point x on a track.
int SliderPosAt(const RECT& track, int x);
