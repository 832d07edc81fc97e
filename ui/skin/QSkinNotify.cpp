#include "ui/skin/QSkinNotify.h"

#include <algorithm>

QSkinNotify& QSkinNotify::Instance() {
    static QSkinNotify notify;
    return notify;
}

void QSkinNotify::Add(ISkinObserver* observer) {
    ScopedLock lock(m_lock);
    m_observers.push_back(observer);
}

void QSkinNotify::Remove(ISkinObserver* observer) {
    ScopedLock lock(m_lock);
    const auto found = std::find(m_observers.begin(), m_observers.end(), observer);
    if (found != m_observers.end())
        m_observers.erase(found);
}

void QSkinNotify::NotifyAll() {
    ScopedLock lock(m_lock);
    for (ISkinObserver* observer : m_observers)
        observer->OnSkinChanged();
}

std::size_t QSkinNotify::Count() {
    ScopedLock lock(m_lock);
    return m_observers.size();
}
