#pragma once

#include <QObject>
#include <QPointer>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

namespace velmor {

class TrayModel;

// What the settings window shows of the tray model until the organizer takes its place: the
// mode, the permission, the tray's state and warning, the apps with where each belongs, and the
// groups. It follows every change of the model.
class SettingsWindowPresenter final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The app makes one for its settings window")
    Q_PROPERTY(QString title READ title CONSTANT)
    Q_PROPERTY(QString tagline READ tagline CONSTANT)
    Q_PROPERTY(QString modeText READ modeText NOTIFY changed)
    Q_PROPERTY(QString permissionText READ permissionText NOTIFY changed)
    Q_PROPERTY(bool permission READ permission NOTIFY changed)
    Q_PROPERTY(QString stateText READ stateText NOTIFY changed)
    Q_PROPERTY(QString warning READ warning NOTIFY changed)
    Q_PROPERTY(QString itemsText READ itemsText NOTIFY changed)
    Q_PROPERTY(QVariantList apps READ apps NOTIFY changed)
    Q_PROPERTY(QVariantList groups READ groups NOTIFY changed)
    Q_PROPERTY(QString footer READ footer CONSTANT)

public:
    static constexpr const char* taglineText = "Your menu bar, organized.";
    static constexpr const char* perAppModeText = "Per-app visibility";
    static constexpr const char* markerModeText = "H marker";
    static constexpr const char* permissionGranted = "Accessibility allowed";
    static constexpr const char* permissionMissing = "Accessibility not allowed";
    static constexpr const char* configuredText = "Grouping applied";
    static constexpr const char* unconfiguredText = "Grouping not applied";
    static constexpr const char* expandedText = "expanded";
    static constexpr const char* collapsedText = "collapsed";
    static constexpr const char* busyText = "applying…";
    static constexpr const char* managingText = "arranging";
    static constexpr const char* itemsFormat = "%1 menu bar items found";
    static constexpr const char* footerText = "Only on this Mac";

    explicit SettingsWindowPresenter(TrayModel* model, QObject* parent = nullptr);

    QString title() const;
    QString tagline() const { return QString::fromUtf8(taglineText); }
    QString modeText() const;
    QString permissionText() const;
    bool permission() const;
    QString stateText() const;
    QString warning() const;
    QString itemsText() const;
    // {bundleID, name, status, place, iconSource}; iconSource is empty for an app without an icon.
    QVariantList apps() const;
    // {name, symbol, shown}
    QVariantList groups() const;
    QString footer() const { return QString::fromUtf8(footerText); }

    // Where an app goes, as the organizer names its areas.
    static QString placeTitle(const TrayModel& model, const QString& destination);

Q_SIGNALS:
    void changed();

private:
    QPointer<TrayModel> m_model;
};

} // namespace velmor
