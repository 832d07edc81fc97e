#include "ui/engine/TwElementFactory.h"

#include <cstring>
#include <vector>

#include "ui/engine/CTwContainerWnd.h"
#include "ui/engine/CTwImageWnd.h"
#include "ui/engine/CTwRealWnd.h"
#include "ui/engine/CTwRichText.h"
#include "ui/engine/CTwSkinBtnWnd.h"
#include "ui/engine/CTwTabCtrl.h"
#include "ui/engine/TwCheckWidgets.h"
#include "ui/engine/TwPictureWidgets.h"
#include "ui/engine/TwProgressWidgets.h"
#include "ui/engine/TwShapeWidgets.h"
#include "ui/engine/TwTextWidgets.h"

namespace {

struct Kind {
    int order; // place in the tag table of the layout documents
    const char* tag;
    std::unique_ptr<CTwWindow> (*make)();
};

template <typename T> std::unique_ptr<CTwWindow> Make() {
    return std::make_unique<T>();
}

const std::vector<Kind>& Kinds() {
    static const std::vector<Kind> kinds = {
        {1, "dlg", Make<CTwDialog>},
        {2, "text", Make<CTwStatic>},
        {3, "button", Make<CTwButton>},
        {4, "img", Make<CTwImageWnd>},
        {5, "imgbg", Make<CTwImageBg>},
        {6, "scrollimg", Make<CTwImageScroll>},
        {7, "progress", Make<CTwProgress>},
        {8, "progressex", Make<CTwProgressEx>},
        {9, "imgbtn", Make<CTwImageBtnWnd>},
        {10, "skinbtn", Make<CTwSkinBtnWnd>},
        {11, "realwnd", Make<CTwRealWnd>},
        {12, "hr", Make<CTwLine>},
        {13, "check", Make<CTwCheckBox>},
        {14, "icon", Make<CTwIconWnd>},
        {15, "tabctrl", Make<CTwTabCtrl>},
        {16, "radio", Make<CTwRadioBox>},
        {17, "richtext", Make<CTwRichText>},
        {18, "link", Make<CTwLink>},
        {19, "memimage", Make<CTwMemoryImage>},
        {20, "storageimage", Make<CTwStorageImage>},
        {21, "imgbtnsized", Make<CTwImgbtnsized>},
        {22, "imggray", Make<CTwImgGray>},
        {23, "imgex", Make<CTwImageEx>},
        {24, "imgrotale", Make<CTwImageRotale>},
        {25, "slider", Make<TwSlider>},
        {26, "dlgbtn", Make<CTwDialogButton>},
    };
    return kinds;
}

} // namespace

std::unique_ptr<CTwWindow> CreateElement(const char* tag) {
    if (!tag)
        return nullptr;
    for (const Kind& kind : Kinds()) {
        if (std::strcmp(kind.tag, tag) == 0)
            return kind.make();
    }
    return nullptr;
}
