#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

namespace velmor {

class TrayArrangementPreferences;
class TrayDelegate;
class TrayDisplayLayouts;
class TrayModel;

// The organizer's side of an arrangement that lasts: the layouts saved for display setups (save
// for the displays connected now, delete, which one is in force) and the two preferences about
// the start and new apps.
class TrayLayoutSettings final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The organizer makes one")
    Q_PROPERTY(bool available READ available NOTIFY changed)
    Q_PROPERTY(QString title READ title CONSTANT)
    Q_PROPERTY(QString setup READ setup NOTIFY changed)
    Q_PROPERTY(QString saveTitle READ saveTitle CONSTANT)
    Q_PROPERTY(QString saveHint READ saveHint CONSTANT)
    Q_PROPERTY(QStringList layouts READ layouts NOTIFY changed)
    Q_PROPERTY(QString inForce READ inForce NOTIFY changed)
    Q_PROPERTY(QString inForceText READ inForceText CONSTANT)
    Q_PROPERTY(QString deleteTitle READ deleteTitle CONSTANT)
    Q_PROPERTY(QString notice READ notice NOTIFY changed)
    Q_PROPERTY(QString problem READ problem NOTIFY changed)
    Q_PROPERTY(QString applyAtStartTitle READ applyAtStartTitle CONSTANT)
    Q_PROPERTY(bool applyAtStart READ applyAtStart WRITE setApplyAtStart NOTIFY changed)
    Q_PROPERTY(QString newAppsTitle READ newAppsTitle CONSTANT)
    Q_PROPERTY(QStringList newAppsTitles READ newAppsTitles CONSTANT)
    Q_PROPERTY(int newAppsIndex READ newAppsIndex WRITE setNewAppsIndex NOTIFY changed)

public:
    static constexpr const char* titleText = "Display layouts";
    static constexpr const char* saveText = "Use this layout with these displays";
    static constexpr const char* saveHintText =
        "Saves the sections, the groups and the bar below for the displays connected now. When "
        "they are connected again, Velmor Tray switches to it.";
    static constexpr const char* inForceLabel = "In use";
    static constexpr const char* deleteText = "Delete";
    static constexpr const char* applyAtStartText = "Apply grouping when Velmor Tray opens";
    static constexpr const char* newAppsText = "New menu bar apps go to";
    static constexpr const char* deleteAccessibleFormat = "Delete the layout for %1";

    TrayLayoutSettings(TrayModel& model, TrayDelegate& delegate, QObject* parent = nullptr);
    ~TrayLayoutSettings() override;

    bool available() const;
    QString title() const { return QString::fromUtf8(titleText); }
    // The displays connected now, in words.
    QString setup() const;
    QString saveTitle() const { return QString::fromUtf8(saveText); }
    QString saveHint() const { return QString::fromUtf8(saveHintText); }
    QStringList layouts() const;
    QString inForce() const;
    QString inForceText() const { return QString::fromUtf8(inForceLabel); }
    QString deleteTitle() const { return QString::fromUtf8(deleteText); }
    QString notice() const;
    QString problem() const;
    Q_INVOKABLE void save();
    Q_INVOKABLE void remove(const QString& setup);
    Q_INVOKABLE QString deleteLabel(const QString& setup) const;

    QString applyAtStartTitle() const { return QString::fromUtf8(applyAtStartText); }
    bool applyAtStart() const;
    void setApplyAtStart(bool on);
    QString newAppsTitle() const { return QString::fromUtf8(newAppsText); }
    // The organizer's names of the three sections, in its order.
    QStringList newAppsTitles() const;
    int newAppsIndex() const;
    void setNewAppsIndex(int index);

Q_SIGNALS:
    void changed();

private:
    // The delegate makes the layouts with the controller, which may come after this presenter:
    // they are taken up once the model says which mode the controller is in.
    void followLayouts();

    QPointer<TrayModel> m_model;
    QPointer<TrayDelegate> m_delegate;
    QPointer<TrayArrangementPreferences> m_preferences;
    QPointer<TrayDisplayLayouts> m_layouts;
    // Why the last save was refused; cleared by the next change.
    QString m_refused;
};

} // namespace velmor
