#include "simulated_mac/simulated_appearance.h"

namespace velmor::simulated_mac {

platform::SystemAppearance::ObserverId SimulatedAppearance::observe(Handler handler)
{
    m_observers.insert(++m_lastObserver, std::move(handler));
    return m_lastObserver;
}

void SimulatedAppearance::setDark(bool dark)
{
    if (m_dark == dark)
        return;
    m_dark = dark;
    // An observer may remove itself while being told.
    const QMap<ObserverId, Handler> observers = m_observers;
    for (auto it = observers.begin(); it != observers.end(); ++it) {
        if (m_observers.contains(it.key()))
            it.value()(dark);
    }
}

} // namespace velmor::simulated_mac
