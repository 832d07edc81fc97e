#pragma once
// Items handed from worker threads to the window's thread in the order they
// were pushed; the taker takes them a bounded number at a time.

#include <cstddef>
#include <deque>
#include <iterator>
#include <vector>

#include "common/CriticalSection.h"

template <class T> class HandoverQueue {
public:
    void Push(T item) {
        ScopedLock lock(m_lock);
        m_items.push_back(std::move(item));
    }

    // Up to `most` items from the front, in order; `more` says whether
    // others wait behind them.
    std::vector<T> Take(std::size_t most, bool& more) {
        ScopedLock lock(m_lock);
        const std::size_t count = m_items.size() < most ? m_items.size() : most;
        const auto end = m_items.begin() + static_cast<std::ptrdiff_t>(count);
        std::vector<T> taken(std::make_move_iterator(m_items.begin()),
                             std::make_move_iterator(end));
        m_items.erase(m_items.begin(), end);
        more = !m_items.empty();
        return taken;
    }

private:
    CriticalSection m_lock;
    std::deque<T> m_items;
};
