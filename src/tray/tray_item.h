#pragma once

#include "platform/accessibility_element.h"
#include "platform/icon.h"

#include <QHashFunctions>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <optional>

namespace velmor {

// One menu bar extra of another application, as discovery found it. Its id is the owning app's
// bundle identifier, "|" and a key, and stays the same across discovery passes.
struct TrayItem {
    // The Accessibility actions that open an extra.
    static constexpr QStringView kPressAction = u"AXPress";
    static constexpr QStringView kShowMenuAction = u"AXShowMenu";
    static constexpr QChar kIDSeparator = u'|';

    QString id;
    // The extra's accessibility title, else its description, else the app name.
    QString title;
    // The accessibility title alone: the text the extra draws beside or instead of its image;
    // empty for an extra that draws an image only.
    QString label;
    // The owning app's localized name, else its bundle identifier.
    QString appName;
    std::optional<platform::Icon> icon;
    platform::AccessibilityElement element;
    qint32 pid = 0;
    // One of kPressAction and kShowMenuAction.
    QString action;

    // The text before the first separator; the whole id when it has none.
    QString bundleID() const;

    // The bundle identifier an item id names; absent when the id has no separator.
    static std::optional<QString> bundleIDOf(QStringView itemID);

    // Two items are the same extra when their ids are equal, whatever else discovery read.
    friend bool operator==(const TrayItem& a, const TrayItem& b) { return a.id == b.id; }
};

inline size_t qHash(const TrayItem& item, size_t seed = 0)
{
    return qHash(item.id, seed);
}

} // namespace velmor
