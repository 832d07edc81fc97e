#pragma once
// Windows that follow a change of skin register here. Nothing in this
// program changes skins at run time, so no change is ever broadcast; the
// list is kept for windows that would.

#include <vector>

#include "common/CriticalSection.h"

class ISkinObserver {
public:
    virtual void OnSkinChanged() = 0;

protected:
    ~ISkinObserver() = default;
};

class QSkinNotify {
public:
    static QSkinNotify& Instance();
    void Add(ISkinObserver* observer);
    // The first matching entry; absent ones are ignored.
    void Remove(ISkinObserver* observer);
    void NotifyAll();
    std::size_t Count();

private:
    QSkinNotify() = default;
    CriticalSection m_lock;
    std::vector<ISkinObserver*> m_observers;
};

// A dialog mixin: registered while the dialog object lives; a change of
// skin lays its view out again and repaints it when its window exists.
template <class T> class QSkinObserverHelper : public ISkinObserver {
public:
    QSkinObserverHelper() { QSkinNotify::Instance().Add(this); }
    ~QSkinObserverHelper() { QSkinNotify::Instance().Remove(this); }
    QSkinObserverHelper(const QSkinObserverHelper&) = delete;
    QSkinObserverHelper& operator=(const QSkinObserverHelper&) = delete;

    void OnSkinChanged() override {
        T& dialog = static_cast<T&>(*this);
        if (dialog.Hwnd() && IsWindow(dialog.Hwnd()))
            dialog.View().LayoutSections();
    }
};
