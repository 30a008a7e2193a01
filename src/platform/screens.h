#pragma once

#include "platform/screen_top_area.h"

#include <QList>
#include <QRectF>
#include <QString>

#include <functional>
#include <optional>

namespace velmor::platform {

// A display as the person knows it: the same display has the same identity after a restart, a
// reconnection or a change of arrangement, and two displays of one model still differ.
struct DisplayIdentity {
    // Stable and opaque: compared, stored, never shown.
    QString id;
    // What System Settings calls the display ("Built-in Retina Display", "Studio Display").
    QString name;
    // A laptop's own display.
    bool builtIn = false;

    friend bool operator==(const DisplayIdentity&, const DisplayIdentity&) = default;
};

// The displays, in screen coordinates (origin bottom left of the primary screen, y up).
class Screens {
public:
    using ObserverId = quint64;

    virtual ~Screens() = default;

    // The first frame is the primary screen, which holds the menu bar.
    virtual QList<QRectF> frames() const = 0;
    // The main screen's frame minus the menu bar and the Dock.
    virtual std::optional<QRectF> mainVisibleFrame() const = 0;
    // The top edge of each display, in the order of `frames`.
    virtual QList<ScreenTopArea> topAreas() const = 0;
    // Who each display is, in the order of `frames` (the first is the main display).
    virtual QList<DisplayIdentity> identities() const = 0;
    // Whether every display shows a menu bar with the status items ("Displays have separate
    // Spaces", the default), rather than the main display alone.
    virtual bool separateSpaces() const = 0;
    // Told on the main thread after displays came, went, moved or changed their arrangement.
    virtual ObserverId observeChanges(std::function<void()> handler) = 0;
    virtual void removeObserver(ObserverId observer) = 0;
};

} // namespace velmor::platform
