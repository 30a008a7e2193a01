#pragma once

#include "platform/accessibility_element.h"

#include <QString>

namespace velmor::simulated_mac {

// What a simulated Accessibility element refers to. Two handles are equal when they name the same
// thing of the world: an item by the id of its showing (so an item shown again is a new element),
// a group by the id of its first member's showing, an app by its process identifier, a part of an
// item's view by the item's showing and how deep the part lies.
class SimulatedAccessibilityElement final : public platform::AccessibilityElement::Reference {
public:
    enum class Kind {
        SystemWide,
        Application,
        ExtrasBar,
        Group,
        Item,
        ItemPart,
        SystemMenuBar,
        // The frontmost app's own menu bar and its menus (by index, in `serial`).
        AppMenuBar,
        AppMenu,
    };

    SimulatedAccessibilityElement(Kind kind, qint32 pid, quint64 serial = 0, QString group = {},
                                  int depth = 0)
        : m_kind(kind), m_pid(pid), m_serial(serial), m_group(std::move(group)), m_depth(depth)
    {}

    static platform::AccessibilityElement make(Kind kind, qint32 pid, quint64 serial = 0, QString group = {},
                                     int depth = 0);
    static platform::AccessibilityElement part(qint32 pid, quint64 serial, int depth)
    {
        return make(Kind::ItemPart, pid, serial, {}, depth);
    }
    // The simulated reference behind a handle; null for a handle from elsewhere.
    static const SimulatedAccessibilityElement* from(const platform::AccessibilityElement& element);

    bool equals(const Reference& other) const override;
    std::size_t hash() const override;

    Kind kind() const { return m_kind; }
    // The process the element was created for.
    qint32 pid() const { return m_pid; }
    quint64 serial() const { return m_serial; }
    const QString& group() const { return m_group; }
    // For a part: 1 for a child of the item, 2 for its child, and so on.
    int depth() const { return m_depth; }

private:
    Kind m_kind;
    qint32 m_pid;
    quint64 m_serial;
    QString m_group;
    int m_depth;
};

} // namespace velmor::simulated_mac
