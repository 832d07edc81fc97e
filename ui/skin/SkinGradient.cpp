#include "ui/skin/SkinGradient.h"

namespace {

using GradientFillFn = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

TRIVERTEX Vertex(LONG x, LONG y, COLORREF color) {
    TRIVERTEX vertex;
    vertex.x = x;
    vertex.y = y;
    vertex.Red = static_cast<COLOR16>(GetRValue(color) << 8);
    vertex.Green = static_cast<COLOR16>(GetGValue(color) << 8);
    vertex.Blue = static_cast<COLOR16>(GetBValue(color) << 8);
    vertex.Alpha = 0;
    return vertex;
}

} // namespace

bool FillGradient(HDC dc, const RECT& rect, COLORREF from, COLORREF to, bool vertical) {
    HMODULE library = LoadLibraryW(L"msimg32.dll");
    if (!library)
        return false;
    const auto fill = reinterpret_cast<GradientFillFn>(
        reinterpret_cast<void*>(GetProcAddress(library, "GradientFill")));
    bool drawn = false;
    if (fill) {
        TRIVERTEX vertices[2] = {Vertex(rect.left, rect.top, from),
                                 Vertex(rect.right, rect.bottom, to)};
        GRADIENT_RECT gradient = {0, 1};
        drawn = fill(dc, vertices, 2, &gradient, 1,
                     vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H) != FALSE;
    }
    FreeLibrary(library);
    return drawn;
}
