#pragma once
// A mixin for skinned dialogs that cuts the window's corners: after each
// size change the window region becomes its rectangle minus a 3-2-1
// staircase of six pixels at every corner, matching the view's outline.

#include <windows.h>

// The window region for a W x H window (null for an empty size).
HRGN CreateCutCornerRegion(int width, int height);

template <class T> class CWHRoundRectFrameHelper {
public:
    // Handles WM_SIZE (after the host) and WM_DESTROY; never claims them.
    void ProcessRoundRectMessage(HWND hwnd, UINT message, WPARAM wparam, LPARAM) {
        if (message == WM_DESTROY) {
            m_lastWidth = m_lastHeight = 0;
            return;
        }
        if (message != WM_SIZE || wparam == SIZE_MINIMIZED || IsIconic(hwnd))
            return;
        RECT window = {};
        GetWindowRect(hwnd, &window);
        const int width = window.right - window.left;
        const int height = window.bottom - window.top;
        if ((width == 0 && height == 0) || (width == m_lastWidth && height == m_lastHeight))
            return;
        if (HRGN region = CreateCutCornerRegion(width, height)) {
            if (!SetWindowRgn(hwnd, region, TRUE))
                DeleteObject(region);
        }
        m_lastWidth = width;
        m_lastHeight = height;
    }

private:
    int m_lastWidth = 0;
    int m_lastHeight = 0;
};
