#pragma once

#include <QObject>

#include <array>

namespace velmor {
namespace platform {
class UserDefaults;
}

// How revealing behaves beyond a click on the chevron: how soon revealed icons hide again by
// themselves, and whether resting the pointer on empty menu bar space, or a click there, reveals
// them. Stored in the app's user defaults; a stored value of another type, or a delay not offered,
// reads as the default.
class TrayRevealPreferences final : public QObject {
    Q_OBJECT

public:
    // Seconds, as a 64-bit integer; 0 is Off.
    static constexpr const char* rehideDelayKey = "tray.rehideDelay.v1";
    static constexpr const char* revealOnHoverKey = "tray.revealOnHover.v1";
    static constexpr const char* revealOnClickKey = "tray.revealOnClick.v1";
    // The delays offered, in seconds, in their order; 0 is Off.
    static constexpr std::array<int, 5> rehideDelays{0, 5, 10, 30, 60};
    static constexpr int defaultRehideDelay = 10;

    explicit TrayRevealPreferences(platform::UserDefaults& defaults, QObject* parent = nullptr);

    int rehideDelay() const;
    // A delay that is not offered changes nothing.
    void setRehideDelay(int seconds);
    bool revealOnHover() const;
    void setRevealOnHover(bool on);
    bool revealOnClick() const;
    void setRevealOnClick(bool on);

Q_SIGNALS:
    void changed();

private:
    static QString key(const char* name) { return QString::fromLatin1(name); }

    platform::UserDefaults& m_defaults;
};

} // namespace velmor
