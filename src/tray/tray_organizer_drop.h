#pragma once

#include <QSet>
#include <QString>

#include <optional>

namespace velmor {

// The drag payload of the organizer's app cards: "velmor-tray-app:" followed by a bundle id.
class TrayOrganizerDrop final {
public:
    static constexpr const char* payloadPrefix = "velmor-tray-app:";
    static constexpr int maximumPayloadBytes = 2048;

    // The payload a card carries for an app.
    static QString payload(const QString& bundleID);

    // The bundle identifier a dropped payload names, when it is one the organizer lists and not
    // an Apple app.
    static std::optional<QString> bundleID(const QString& payload, const QSet<QString>& known);

    TrayOrganizerDrop() = delete;
};

} // namespace velmor
