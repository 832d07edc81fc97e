#pragma once
// Where the engine places the elements of one of the program's layouts:
// the layout resource (the program's resources are linked into this
// program too) is built into a hidden dialog of the engine's host at the
// layout's own size, and the rectangles are read from its element tree.
// The program's dialog of that layout has the same size, so they are the
// coordinates of its view as well.

#include <optional>

#include <windows.h>

#include "ui/engine/CTwDialogHost.h"

// The program's UI documents (colours, images, skins, styles, strings),
// loaded once per process as the program loads them at start.
bool LoadProgramUiDocumentsOnce();

class LayoutPlaces : public CTwDialogHost {
public:
    explicit LayoutPlaces(int layoutId) : m_layoutId(layoutId) {}

    // Builds the hidden dialog; false when the documents or the layout do
    // not load.
    bool Build();
    // The element's rectangle in view coordinates; nothing for an unknown id.
    std::optional<RECT> ElementRect(int id);
    // The header of tab `index` of a tab control element.
    std::optional<RECT> TabHeaderRect(int tabControlId, int index);

protected:
    int LayoutResourceId() const override { return m_layoutId; }

private:
    int m_layoutId;
};
