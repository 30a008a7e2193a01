#pragma once

#include <QStringList>

class QQmlEngine;
class QQuickItem;
class QQuickWindow;

namespace velmor {

class SupportSettingsFooter;

// Places the suite's support footer into a window that leaves a slot for it: an item named
// "supportFooterSlot" (a placeholder or an empty Loader) in the window's content. The footer takes
// the slot's width, and the slot takes the footer's height, so a layout around it makes room.
class SupportFooterSlot final {
public:
    static constexpr const char* slotName = "supportFooterSlot";
    static constexpr const char* footerSource = "qrc:/qt/qml/Velmor/SuiteUi/SupportSettingsFooter.qml";

    SupportFooterSlot() = delete;

    // The footer item (owned by the slot), or null when the window has no slot or the footer did
    // not load (why, in `errors`).
    static QQuickItem* fill(QQuickWindow& window, QQmlEngine& engine, SupportSettingsFooter& presenter,
                            QStringList& errors);
};

} // namespace velmor
