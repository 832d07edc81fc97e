#pragma once
// The file list's header: 25 pixels high, painted from bitmap 402 with the
// columns' captions in the header colour (the first one after the list's
// box column).

#include <windows.h>

#include "ui/windows/TwSubclass.h"

class CHeaderCtrlEx : public TwSubclass<CHeaderCtrlEx> {
public:
    bool ProcessWindowMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
    static constexpr int kHeight = 25;

private:
    void Paint();
};
