#pragma once

#include "tray/tray_out_of_sight.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

namespace velmor {
namespace platform {
class UserDefaults;
}

class TrayModel;

// The organizer's part of the bar below the menu bar: the one-line notice naming the apps whose
// menu bar icons no one can see, with the action that shows them below the menu bar; the status
// each such card carries; and the preference "Show hidden apps below the menu bar".
class TrayBelowBarSettings final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The organizer makes one")
    Q_PROPERTY(QString noticeText READ noticeText NOTIFY changed)
    Q_PROPERTY(QString noticeActionTitle READ noticeActionTitle CONSTANT)
    Q_PROPERTY(QString noticeSymbol READ noticeSymbol CONSTANT)
    Q_PROPERTY(QString preferenceTitle READ preferenceTitle CONSTANT)
    Q_PROPERTY(QStringList modeTitles READ modeTitles CONSTANT)
    Q_PROPERTY(int modeIndex READ modeIndex WRITE setModeIndex NOTIFY changed)
    Q_PROPERTY(QString ownNoticeText READ ownNoticeText NOTIFY changed)
    Q_PROPERTY(QString ownOfferTitle READ ownOfferTitle NOTIFY changed)

public:
    static constexpr const char* housingNoticeOne = "1 menu bar icon of %1 is behind the camera housing";
    static constexpr const char* housingNoticeMany = "%1 menu bar icons of %2 are behind the camera housing";
    static constexpr const char* menusNoticeOne = "1 menu bar icon of %1 is hidden by the menus";
    static constexpr const char* menusNoticeMany = "%1 menu bar icons of %2 are hidden by the menus";
    static constexpr const char* offEndNoticeOne = "1 menu bar icon of %1 does not fit in the menu bar";
    static constexpr const char* offEndNoticeMany = "%1 menu bar icons of %2 do not fit in the menu bar";
    static constexpr const char* mixedNotice = "%1 menu bar icons of %2 cannot be seen";
    static constexpr const char* nameSeparator = ", ";
    static constexpr const char* lastNameSeparator = " and ";
    static constexpr const char* noticeAction = "Show below menu bar";
    static constexpr const char* lostSymbol = "eye.slash";
    static constexpr const char* housingStatus = "Behind housing";
    static constexpr const char* menusStatus = "Under the menus";
    static constexpr const char* offEndStatus = "Off the bar";
    static constexpr const char* preferenceText = "Show hidden apps below the menu bar";
    static constexpr const char* automaticText = "Automatic";
    static constexpr const char* alwaysText = "Always";
    static constexpr const char* neverText = "Never";

    TrayBelowBarSettings(TrayModel& model, platform::UserDefaults& defaults, QObject* parent = nullptr);

    // Empty while every icon can be seen.
    QString noticeText() const;
    QString noticeActionTitle() const { return QString::fromUtf8(noticeAction); }
    QString noticeSymbol() const { return QString::fromUtf8(lostSymbol); }
    QString preferenceTitle() const { return QString::fromUtf8(preferenceText); }
    // Automatic, Always, Never: the order of the preference's modes.
    QStringList modeTitles() const;
    int modeIndex() const;
    void setModeIndex(int index);

    // The small status of an app's card whose icons cannot be seen; empty for one in sight.
    static QString cardStatus(const TrayOutOfSight& outOfSight, const QString& bundleID);
    static QString notice(const TrayOutOfSight& outOfSight);

    Q_INVOKABLE void showBelowBar();

    // What the organizer says when the app's own icons cannot be seen, and what it offers.
    QString ownNoticeText() const;
    QString ownOfferTitle() const;
    Q_INVOKABLE void acceptOwnOffer();

Q_SIGNALS:
    void changed();

private:
    QPointer<TrayModel> m_model;
    platform::UserDefaults& m_defaults;
};

} // namespace velmor
