#pragma once

#include "settings_window/tray_organizer_areas.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

#include <functional>
#include <optional>

namespace velmor {

struct GroupedApp;
class TrayModel;

// The organizer's areas: the "Menu bar apps" heading, the section and group areas with their cards
// (per-app mode) or the marker areas, and everything a card can do — be dragged onto an area,
// dropped, or moved with its actions. A move does nothing while the controller is busy.
//
// A moved card is drawn in its new area first: the model's move edits the system's preferences on
// this thread and the window cannot draw until that returns, so the move runs only once the frame
// that shows the card has been presented. Until then the areas show the card where it was dropped;
// afterwards they show the model again, so a move the model refuses puts the card back.
class TrayAreasBlock final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Part of the organizer's presenter")
    Q_PROPERTY(QString appsTitle READ appsTitle CONSTANT)
    Q_PROPERTY(QString appsInfoLabel READ appsInfoLabel CONSTANT)
    Q_PROPERTY(QString appsHint READ appsHint NOTIFY modeChanged)
    Q_PROPERTY(QString refreshTitle READ refreshTitle CONSTANT)
    Q_PROPERTY(bool perApp READ perApp NOTIFY modeChanged)
    Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)
    Q_PROPERTY(double cardOpacity READ cardOpacity NOTIFY busyChanged)
    // The areas and their cards as list models (rows in TrayOrganizerAreas).
    // (Typed QObject: QML's tools know no item model type in Qt 6.4; a Repeater takes either.)
    Q_PROPERTY(QObject* sectionAreas READ sectionAreas CONSTANT)
    Q_PROPERTY(QObject* groupAreas READ groupAreas CONSTANT)
    Q_PROPERTY(QObject* markerAreas READ markerAreas CONSTANT)
    Q_PROPERTY(QString emptyAreaText READ emptyAreaText CONSTANT)
    Q_PROPERTY(QString noItemsText READ noItemsText CONSTANT)
    Q_PROPERTY(QString cardHint READ cardHint CONSTANT)
    Q_PROPERTY(QString newBadgeText READ newBadgeText CONSTANT)
    Q_PROPERTY(QString dropTarget READ dropTarget NOTIFY dropTargetChanged)

public:
    static constexpr const char* appsText = "Menu bar apps";
    static constexpr const char* appsInfoText = "About app icons";
    static constexpr const char* perAppHint = "Drag an app to choose where it belongs.";
    static constexpr const char* markerHint = "Command-drag icons in the Mac menu bar to arrange them.";
    static constexpr const char* refreshText = "Refresh";
    static constexpr const char* emptyAreaLabel = "Drop apps here";
    static constexpr const char* noItemsLabel = "No detected items";
    static constexpr const char* cardHintText = "Drag to another group or use Move to actions";

    // Runs a task once the window has presented the frame that shows what changed before the call.
    using AfterFrame = std::function<void(std::function<void()>)>;

    explicit TrayAreasBlock(TrayModel& model, QObject* parent = nullptr);

    // Without a window the task is posted to the event loop.
    void setAfterFrame(AfterFrame afterFrame) { m_afterFrame = std::move(afterFrame); }
    // A move is drawn but has not reached the model yet.
    bool movePending() const { return m_pending.has_value(); }

    QString appsTitle() const { return QString::fromUtf8(appsText); }
    QString appsInfoLabel() const { return QString::fromUtf8(appsInfoText); }
    QString appsHint() const { return QString::fromUtf8(perApp() ? perAppHint : markerHint); }
    QString refreshTitle() const { return QString::fromUtf8(refreshText); }
    bool perApp() const;
    bool busy() const;
    double cardOpacity() const { return busy() ? 0.5 : 1.0; }
    QObject* sectionAreas() { return m_areas.sections(); }
    QObject* groupAreas() { return m_areas.groups(); }
    QObject* markerAreas() { return m_areas.markers(); }
    QString emptyAreaText() const { return QString::fromUtf8(emptyAreaLabel); }
    QString noItemsText() const { return QString::fromUtf8(noItemsLabel); }
    QString cardHint() const { return QString::fromUtf8(cardHintText); }
    QString newBadgeText() const;
    QString dropTarget() const { return m_dropTarget; }

    TrayOrganizerAreas& organizerAreas() { return m_areas; }
    const TrayOrganizerAreas& organizerAreas() const { return m_areas; }

    // The strings a drop carries: one per dropped URL, else the text when there is one.
    static QStringList droppedStrings(const QList<QUrl>& urls, bool hasText, const QString& text);

    Q_INVOKABLE void refresh();
    // A move action: does nothing while busy, while another move waits for its frame, or when the
    // app is there already.
    Q_INVOKABLE void move(const QString& bundleID, const QString& destination);
    // A drag entered or left the area with that destination.
    Q_INVOKABLE void dragEntered(const QString& destination);
    Q_INVOKABLE void dragExited(const QString& destination);
    // A drop on the area with that destination; true when it is taken (also when it changes
    // nothing because the app is there already).
    Q_INVOKABLE bool drop(const QString& destination, const QList<QUrl>& urls, bool hasText,
                          const QString& text);

    // The model changed: the areas follow it and this block signals what it shows differently.
    void update();
    // No drag hovers any more (the window came on screen again).
    void clearDropTarget() { setDropTarget({}); }

Q_SIGNALS:
    void modeChanged();
    void busyChanged();
    void dropTargetChanged();

private:
    struct PendingMove {
        QString bundleID;
        QString destination;
    };

    const GroupedApp* app(const QString& bundleID) const;
    void setDropTarget(const QString& destination);
    void showAreas();
    void runPendingMove();

    QPointer<TrayModel> m_model;
    TrayOrganizerAreas m_areas;
    bool m_perApp = false;
    bool m_busy = false;
    QString m_dropTarget;
    std::optional<PendingMove> m_pending;
    AfterFrame m_afterFrame;
};

} // namespace velmor
