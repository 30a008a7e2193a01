#pragma once

#include "simulated_mac/simulated_below_bar_panel.h"
#include "simulated_mac/views/below_bar_entry_model.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

namespace velmor::simulated_mac {

class SimulatedDesktop;

// The bar below the menu bar as the simulated desktop draws it: whether it is open, where it
// hangs (under the right edge of the status item that opened it, inside the main screen), its
// entries, and what a person does with it.
class BelowBarPresenter final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Part of the simulated Mac")
    Q_PROPERTY(bool shown READ shown NOTIFY changed)
    Q_PROPERTY(QString title READ title CONSTANT)
    Q_PROPERTY(double x READ x NOTIFY changed)
    Q_PROPERTY(double y READ y NOTIFY changed)
    Q_PROPERTY(double width READ width NOTIFY changed)
    Q_PROPERTY(double height READ height CONSTANT)
    Q_PROPERTY(double entrySize READ entrySize CONSTANT)
    Q_PROPERTY(velmor::simulated_mac::BelowBarEntryModel* entries READ entries CONSTANT)

public:
    static constexpr double entryPoints = SimulatedBelowBarPanel::entryPoints;
    static constexpr double padding = SimulatedBelowBarPanel::padding;

    explicit BelowBarPresenter(SimulatedDesktop& desktop, QObject* parent = nullptr);

    bool shown() const { return m_shown; }
    QString title() const;
    // In points from the main screen's top left corner.
    double x() const { return m_x; }
    double y() const { return m_y; }
    double width() const { return m_width; }
    double height() const { return entryPoints + 2 * padding; }
    double entrySize() const { return entryPoints; }
    BelowBarEntryModel* entries() { return &m_entries; }

    void refresh();

    // A click, Return or an accessible press on the entry at `index`.
    Q_INVOKABLE bool activate(int index);
    // Escape, or a click elsewhere on the desktop.
    Q_INVOKABLE void dismiss();

Q_SIGNALS:
    void changed();

private:
    SimulatedDesktop& m_desktop;
    BelowBarEntryModel m_entries;
    bool m_shown = false;
    double m_x = 0;
    double m_y = 0;
    double m_width = 0;
};

} // namespace velmor::simulated_mac
