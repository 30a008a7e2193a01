#include "platform/login_items.h"

namespace velmor::platform {

LoginItems::ObserverId LoginItems::observe(std::function<void()> handler)
{
    m_observers.insert(++m_lastObserver, std::move(handler));
    return m_lastObserver;
}

void LoginItems::removeObserver(ObserverId observer)
{
    m_observers.remove(observer);
}

void LoginItems::statusChanged()
{
    // An observer may remove itself, or another one, while being told.
    const QMap<ObserverId, std::function<void()>> observers = m_observers;
    for (auto it = observers.begin(); it != observers.end(); ++it) {
        if (m_observers.contains(it.key()))
            it.value()();
    }
}

} // namespace velmor::platform
