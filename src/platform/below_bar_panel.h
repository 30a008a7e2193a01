#pragma once

#include "platform/icon.h"

#include <QList>
#include <QRectF>
#include <QString>

#include <functional>
#include <optional>

namespace velmor::platform {

// A borderless strip that drops just below the menu bar and shows menu bar items as their apps'
// icons, for the items the bar itself cannot show. It never takes the front from the app the
// person works in (on the Mac a non-activating panel at the status window level). Entries are
// reached by pointer, keyboard (arrows move, Return opens) and assistive technology; Escape and a
// click elsewhere close it. Main thread only.
class BelowBarPanel {
public:
    // What assistive technology calls the panel.
    static constexpr const char* title = "Hidden menu bar items";

    struct Entry {
        // Between the app's name and the item's in an entry's tooltip and accessible name.
        static constexpr const char* nameSeparator = " — ";

        // The item's title or description.
        QString name;
        // The owning app, whose icon the entry shows (the workspace's, never a screen capture).
        qint32 processIdentifier = 0;
        QString bundleID;
        std::optional<Icon> icon;
        QString appName;
        // The text the item draws in the menu bar, shown beside the icon so that several items of
        // one app can be told apart; empty for an item that draws an image only.
        QString label;

        // "App — item", the entry's tooltip and accessible name; the app's name alone when the
        // item has no name of its own.
        QString accessibleName() const
        {
            if (appName.isEmpty())
                return name;
            if (name.isEmpty() || name == appName)
                return appName;
            return appName + QString::fromUtf8(nameSeparator) + name;
        }

        friend bool operator==(const Entry& a, const Entry& b)
        {
            return a.name == b.name && a.processIdentifier == b.processIdentifier &&
                   a.bundleID == b.bundleID && a.appName == b.appName && a.label == b.label;
        }
    };

    struct Handlers {
        // A person chose the entry at this index (click, Return or an accessible press).
        std::function<void(int index)> activated;
        // The panel closed, whatever closed it.
        std::function<void()> closed;
    };

    virtual ~BelowBarPanel() = default;

    // Shows the entries below the menu bar of the display that holds `anchor` (a status item's
    // window frame, screen coordinates), the panel's right edge under the anchor's; an open panel
    // takes the new entries and place.
    virtual void show(const QList<Entry>& entries, const QRectF& anchor) = 0;
    virtual void close() = 0;
    virtual bool isShown() const = 0;
    // Where the open panel is, in screen coordinates; absent while it is closed.
    virtual std::optional<QRectF> frame() const = 0;
    // Closes the panel once a menu of this process closes: the menu an entry opened.
    virtual void closeWhenMenuCloses(qint32 processIdentifier) = 0;
    virtual void setHandlers(Handlers handlers) = 0;
};

} // namespace velmor::platform
