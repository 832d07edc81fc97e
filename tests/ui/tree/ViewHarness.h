#pragma once
// A plain top-level window hosting a view, recording what the view tells
// it: the WM_NOTIFY records from control id 1000 and WM_SYSCOMMAND codes.
// Mouse messages are sent straight to the view window.

#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

#include "ui/engine/CTwDialogView.h"

namespace testsupport {

struct Notice {
    UINT code;
    int itemId;
    std::string tag;
};

// Styles and skins for the tree tests (from texts; pictures from the test
// program's resources). Loaded once.
void LoadTreeTestDocuments();

class ViewHarness {
public:
    // `parentStyle` WS_CHILD makes the host itself a child of another
    // window (then the view draws no outline).
    explicit ViewHarness(const std::string& layout, int width = 300, int height = 200,
                         DWORD parentStyle = WS_POPUP);
    ~ViewHarness();
    ViewHarness(const ViewHarness&) = delete;
    ViewHarness& operator=(const ViewHarness&) = delete;

    CTwDialogView& View() { return m_view; }
    HWND Parent() const { return m_parent; }
    bool Loaded() const { return m_loaded; }

    void Move(int x, int y);
    void Press(int x, int y);
    void Release(int x, int y);
    void Click(int x, int y) {
        Press(x, y);
        Release(x, y);
    }
    void Leave();

    // The codes received, in order (hover codes 3 and 4 only when asked for);
    // cleared by Forget.
    std::vector<UINT> Codes(bool withMoves = false) const;
    const std::vector<Notice>& Notices() const { return m_notices; }
    const std::vector<WPARAM>& SysCommands() const { return m_sysCommands; }
    int DrawItemRequests() const { return m_drawItems; }
    // Tab changes (code 5) are refused while set.
    bool vetoTabChange = false;

    void Forget() {
        m_notices.clear();
        m_sysCommands.clear();
    }

    // 0xRRGGBB of a pixel of the view's painted bitmap.
    std::uint32_t Pixel(int x, int y);
    CTwWindow* Element(int id) { return m_view.FindById(id); }

private:
    static LRESULT CALLBACK HostProc(HWND, UINT, WPARAM, LPARAM);

    HWND m_owner = nullptr;
    HWND m_parent = nullptr;
    CTwDialogView m_view;
    bool m_loaded = false;
    std::vector<Notice> m_notices;
    std::vector<WPARAM> m_sysCommands;
    int m_drawItems = 0;
};

} // namespace testsupport
