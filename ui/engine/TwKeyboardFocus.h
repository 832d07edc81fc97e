#pragma once
// The keyboard's way through a layout: the stops (an element, and which of
// its stops for an element with several, as a paragraph's links) in the
// order Tab visits them, and the view's focus as one of them. The ordering
// is plain data; the collection walks an element tree.

#include <cstddef>
#include <vector>

#include "ui/engine/TwElementRegistry.h"

class CTwWindow;

struct TwFocusStop {
    TwHandle element = 0;
    int part = 0;
    bool IsNone() const { return element == 0; }
    bool operator==(const TwFocusStop& other) const {
        return element == other.element && part == other.part;
    }
    bool operator!=(const TwFocusStop& other) const { return !(*this == other); }
};

struct FocusCandidate {
    TwFocusStop stop;
    int tabIndex = 0; // the element's layout order: 0 document order, -1 left out
};

// The stops in keyboard order: those with a positive tab index first,
// lowest first (ties in document order), then those with 0 in document
// order; a negative index leaves the stop out.
std::vector<TwFocusStop> OrderStops(const std::vector<FocusCandidate>& candidates);

// The position of the stop Tab (or Shift+Tab) goes to from `current`,
// wrapping; the first (or last) when `current` is not in the order;
// `order.size()` when the order is empty.
std::size_t NextStopIndex(const std::vector<TwFocusStop>& order, const TwFocusStop& current,
                          bool forward);

// Appends the stops of `root` and its descendants in document order: shown,
// enabled elements with stops. A container that acts as one control (a
// dialog button) is one stop; what lies inside it is not entered.
void CollectStops(const CTwWindow& root, std::vector<FocusCandidate>& out);
