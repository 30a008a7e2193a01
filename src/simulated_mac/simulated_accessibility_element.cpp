#include "simulated_mac/simulated_accessibility_element.h"

#include <QHashFunctions>

namespace velmor::simulated_mac {

platform::AccessibilityElement SimulatedAccessibilityElement::make(Kind kind, qint32 pid, quint64 serial, QString group,
                                                         int depth)
{
    return platform::AccessibilityElement(
        std::make_shared<const SimulatedAccessibilityElement>(kind, pid, serial, std::move(group), depth));
}

const SimulatedAccessibilityElement* SimulatedAccessibilityElement::from(const platform::AccessibilityElement& element)
{
    return dynamic_cast<const SimulatedAccessibilityElement*>(element.reference());
}

bool SimulatedAccessibilityElement::equals(const Reference& other) const
{
    const auto* simulated = dynamic_cast<const SimulatedAccessibilityElement*>(&other);
    return simulated && simulated->m_kind == m_kind && simulated->m_pid == m_pid &&
           simulated->m_serial == m_serial && simulated->m_group == m_group && simulated->m_depth == m_depth;
}

std::size_t SimulatedAccessibilityElement::hash() const
{
    return qHashMulti(0, static_cast<int>(m_kind), m_pid, m_serial, m_group, m_depth);
}

} // namespace velmor::simulated_mac
