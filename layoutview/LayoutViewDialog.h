#pragma once
// A skinned dialog showing any layout: the layouts' real-window places
// 401-403 get plain report lists with the program's column titles, and
// the close buttons (102, 100), Esc and the window's close end it.

#include <string>
#include <vector>

#include "ui/windows/CTwShadowedDialogImpl.h"

class LayoutViewDialog : public CTwShadowedDialogImpl<LayoutViewDialog>,
                         public CWHRoundRectFrameHelper<LayoutViewDialog> {
public:
    enum { IDD = 101 };

    // A layout resource id, or a layout file (read as UTF-8).
    bool Load(const std::wstring& which, std::string& error);
    // Elements hidden when the dialog starts (as a dialog's own code would).
    void HideAtStart(std::vector<int> ids) { m_hidden = std::move(ids); }

protected:
    bool OnViewNotify(NMHDR& header, LRESULT& result) override;
    bool ProcessWindowMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

private:
    void CreateLists();

    std::vector<int> m_hidden;
};
