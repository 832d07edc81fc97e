#include "ui/engine/TwKeyboardFocus.h"

#include <algorithm>

#include "ui/engine/CTwContainerWnd.h"

std::vector<TwFocusStop> OrderStops(const std::vector<FocusCandidate>& candidates) {
    std::vector<FocusCandidate> kept;
    kept.reserve(candidates.size());
    for (const FocusCandidate& candidate : candidates) {
        if (candidate.tabIndex >= 0)
            kept.push_back(candidate);
    }
    // Zero sorts after every positive index.
    const auto rank = [](int index) { return index == 0 ? 0x7fffffff : index; };
    std::stable_sort(kept.begin(), kept.end(),
                     [&](const FocusCandidate& a, const FocusCandidate& b) {
                         return rank(a.tabIndex) < rank(b.tabIndex);
                     });
    std::vector<TwFocusStop> order;
    order.reserve(kept.size());
    for (const FocusCandidate& candidate : kept)
        order.push_back(candidate.stop);
    return order;
}

std::size_t NextStopIndex(const std::vector<TwFocusStop>& order, const TwFocusStop& current,
                          bool forward) {
    const std::size_t count = order.size();
    if (count == 0)
        return 0;
    const auto at = std::find(order.begin(), order.end(), current);
    if (at == order.end())
        return forward ? 0 : count - 1;
    const std::size_t index = static_cast<std::size_t>(at - order.begin());
    return forward ? (index + 1) % count : (index + count - 1) % count;
}

void CollectStops(const CTwWindow& root, std::vector<FocusCandidate>& out) {
    if (root.Has(kTwInvisible) || root.Has(kTwDisabled))
        return;
    const int stops = root.KeyboardStops();
    for (int part = 0; part < stops; ++part)
        out.push_back(FocusCandidate{TwFocusStop{root.Handle(), part}, root.TabIndex()});
    if (root.IsOneControl() || !root.IsContainerKind())
        return;
    for (const auto& child : static_cast<const CTwContainerWnd&>(root).Children())
        CollectStops(*child, out);
}
