#pragma once

#include "platform/screens.h"

#include <QList>
#include <QString>

namespace velmor {

// The displays connected now and which one is main: what a layout is saved for. Two setups are
// the same when the same displays are connected and the same one is main, whatever their
// arrangement, resolution or order of connection.
class TrayDisplaySetup final {
public:
    TrayDisplaySetup() = default;
    // The first display is the main one.
    explicit TrayDisplaySetup(QList<platform::DisplayIdentity> displays);
    static TrayDisplaySetup current(const platform::Screens& screens);

    const QList<platform::DisplayIdentity>& displays() const { return m_displays; }
    bool isEmpty() const { return m_displays.isEmpty(); }
    // What a layout is stored under: the main display's identity, then the others' in sorted order.
    QString key() const;
    // How the person reads it, the main display first: "Built-in display alone",
    // "Built-in + Studio Display", "Studio Display + Built-in".
    QString words() const;

    friend bool operator==(const TrayDisplaySetup& a, const TrayDisplaySetup& b) { return a.key() == b.key(); }

private:
    QList<platform::DisplayIdentity> m_displays;
};

} // namespace velmor
