// Readings of the screen: changed pixels counted against a tolerance, and
// a window's drawing read back from the display (the driver sees the
// program's summary this way).

#include "bench/window/ScreenPatch.h"
#include "common/GdiObjects.h"
#include "tests/support/GTest.h"

namespace {

ScreenPatch Patch(int width, int height, std::uint32_t colour) {
    ScreenPatch patch;
    patch.width = width;
    patch.height = height;
    patch.pixels.assign(static_cast<std::size_t>(width * height), colour);
    return patch;
}

// A borderless top-most window filled with one colour, on the screen at
// a known place.
class ColourWindow {
public:
    ColourWindow(const RECT& place, COLORREF colour) : m_colour(colour) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = &ColourWindow::Procedure;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"ScreenPatchTestWindow";
        RegisterClassW(&wc);
        m_hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP,
                                 place.left, place.top, place.right - place.left,
                                 place.bottom - place.top, nullptr, nullptr, wc.hInstance, this);
        ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
        Settle();
    }
    ~ColourWindow() { DestroyWindow(m_hwnd); }
    ColourWindow(const ColourWindow&) = delete;
    ColourWindow& operator=(const ColourWindow&) = delete;

    void Repaint(COLORREF colour) {
        m_colour = colour;
        InvalidateRect(m_hwnd, nullptr, TRUE);
        Settle();
    }

private:
    // Messages handled and the drawing given time to reach the display.
    void Settle() {
        for (int i = 0; i < 20; ++i) {
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageW(&message);
            UpdateWindow(m_hwnd);
            GdiFlush();
            Sleep(10);
        }
    }

    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_NCCREATE)
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(
                                  reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams));
        if (message == WM_PAINT) {
            auto* self = reinterpret_cast<ColourWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd, &paint);
            RECT client;
            GetClientRect(hwnd, &client);
            FillSolid(dc, client, self->m_colour);
            EndPaint(hwnd, &paint);
            return 0;
        }
        if (message == WM_ERASEBKGND)
            return 1;
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }

    HWND m_hwnd = nullptr;
    COLORREF m_colour;
};

} // namespace

TEST(ScreenPatch, CountsPixelsChangedBeyondTheTolerance) {
    const ScreenPatch before = Patch(4, 3, 0x808080);
    ScreenPatch after = before;
    EXPECT_EQ(0, CountChangedPixels(before, after, 10));
    after.pixels[5] = 0x808080 + 11;         // blue 11 up
    after.pixels[6] = 0x808080 + (10 << 16); // red 10 up: within
    after.pixels[7] = 0x808080 - (11 << 8);  // green 11 down
    EXPECT_EQ(2, CountChangedPixels(before, after, 10));
    EXPECT_EQ(0, CountChangedPixels(before, after, 11));
    EXPECT_EQ(12, CountChangedPixels(before, Patch(3, 4, 0x808080), 10));
}

TEST(ScreenPatch, ReadsAWindowAsTheDisplayShowsIt) {
    EXPECT_FALSE(ScreenPatch::Read(RECT{10, 10, 10, 20}));
    const RECT place = {40, 50, 140, 110};
    ColourWindow window(place, RGB(10, 200, 30));
    const RECT inner = {60, 60, 120, 100};
    const std::optional<ScreenPatch> green = ScreenPatch::Read(inner);
    ASSERT_TRUE(green);
    EXPECT_EQ(60, green->width);
    EXPECT_EQ(40, green->height);
    EXPECT_EQ(0x0AC81Eu, green->pixels.front());
    EXPECT_EQ(0x0AC81Eu, green->pixels.back());
    window.Repaint(RGB(200, 20, 20));
    const std::optional<ScreenPatch> red = ScreenPatch::Read(inner);
    ASSERT_TRUE(red);
    EXPECT_EQ(0xC81414u, red->pixels[red->pixels.size() / 2]);
    EXPECT_EQ(60 * 40, CountChangedPixels(*green, *red, 48));
}
