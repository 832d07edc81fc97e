#pragma once
// A soft drop shadow for a top-level skinned dialog: a layered, click-through
// popup 4 pixels larger than its host on every side, owned by the host and
// painted from the skin "dlg_shadow" as a nine-part frame with an empty
// centre. The host hands it its own window messages; it follows the host,
// hides while the host is minimised, hidden or dragged, and is rebuilt
// when the host's size changes.

#include <windows.h>

#include "ui/engine/HostShadow.h"

inline constexpr int kShadowMargin = 4;

// The eight parts of the frame: destination and source rectangles for a
// W x H shadow from an sw x sh skin (corners a = (sw - 2) / 2).
struct ShadowPart {
    RECT destination;
    RECT source;
};
void ShadowParts(int width, int height, SIZE skin, ShadowPart (&parts)[8]);

class CShadowWnd : public IHostShadow {
public:
    CShadowWnd() = default;
    ~CShadowWnd() override;
    CShadowWnd(const CShadowWnd&) = delete;
    CShadowWnd& operator=(const CShadowWnd&) = delete;

    void Create(HWND host) override;
    bool HostMessage(HWND host, UINT message, WPARAM wparam, LPARAM lparam) override;
    HWND Window() const override { return m_shadow; }
    bool IsShown() const { return (m_state & kShown) != 0; }
    bool IsCreated() const { return m_created; }

    static constexpr BYTE kCreated = 0x01;
    static constexpr BYTE kShown = 0x02;
    static constexpr BYTE kHostVisible = 0x04;

private:
    void Hide();
    void ShowRebuilt();
    void Rebuild();
    void ReevaluateVisibility();
    void Destroy();

    HWND m_host = nullptr;
    HWND m_shadow = nullptr;
    bool m_moving = false;
    bool m_created = false;
    BYTE m_state = 0;
    LPARAM m_lastSize = 0;
    bool m_repaintPending = false;
    bool m_showPending = false;
};
