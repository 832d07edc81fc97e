// High contrast for tests: the mode forced on for a scope, and the system
// colour of an ink as the 0xRRGGBB that surfaces read back.

#pragma once

#include <cstdint>
#include <optional>

#include "ui/engine/TwHighContrast.h"

namespace testsupport {

// Forces high contrast on while it lives; the system's own setting counts again after.
class ForcedHighContrast {
public:
    ForcedHighContrast() { OverrideHighContrast(true); }
    ~ForcedHighContrast() { OverrideHighContrast(std::nullopt); }
    ForcedHighContrast(const ForcedHighContrast&) = delete;
    ForcedHighContrast& operator=(const ForcedHighContrast&) = delete;
};

inline std::uint32_t RgbOf(COLORREF color) {
    return (static_cast<std::uint32_t>(GetRValue(color)) << 16) |
           (static_cast<std::uint32_t>(GetGValue(color)) << 8) | GetBValue(color);
}

inline std::uint32_t InkRgb(TwContrastInk ink) {
    return RgbOf(ContrastColor(ink));
}

} // namespace testsupport
