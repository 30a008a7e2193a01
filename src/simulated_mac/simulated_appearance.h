#pragma once

#include "platform/system_appearance.h"

#include <QMap>

namespace velmor::simulated_mac {

// The simulated Mac's light or dark appearance, switched by a person (or a test).
class SimulatedAppearance final : public platform::SystemAppearance {
public:
    explicit SimulatedAppearance(bool dark) : m_dark(dark) {}

    bool isDark() const override { return m_dark; }
    ObserverId observe(Handler handler) override;
    void removeObserver(ObserverId observer) override { m_observers.remove(observer); }

    void setDark(bool dark);

private:
    bool m_dark;
    QMap<ObserverId, Handler> m_observers;
    ObserverId m_lastObserver = 0;
};

} // namespace velmor::simulated_mac
