#pragma once

#include "app/gui_run_fixture.h"
#include "settings_window/tray_settings_presenter.h"
#include "tray/grouped_app.h"
#include "tray/tray_organizer_drop.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

#include <functional>

namespace velmor::test {

// The organizer on the simulated Mac: the default scenario, changed where a test needs it, and a
// person's ways of dropping things on the window.
class OrganizerTest : public GuiRunTest {
protected:
    static QByteArray scenario(const std::function<void(QJsonObject&)>& change = {})
    {
        QFile file(QStringLiteral(VELMOR_SOURCE_DIRECTORY "/scenarios/default.json"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
        if (change)
            change(root);
        return QJsonDocument(root).toJson();
    }
    static void setSystem(QJsonObject& root, const QString& key, const QJsonValue& value)
    {
        QJsonObject system = root.value(QStringLiteral("system")).toObject();
        system.insert(key, value);
        root.insert(QStringLiteral("system"), system);
    }

    void startWith(const std::function<void(QJsonObject&)>& change)
    {
        start(scenario(change));
        launch();
    }

    TraySettingsPresenter* presenter()
    {
        return settingsWindow() ? settingsWindow()->property("presenter").value<TraySettingsPresenter*>()
                                : nullptr;
    }
    QQuickItem* area(const QString& destination)
    {
        return require(settingsWindow(), QStringLiteral("area:") + destination);
    }
    QQuickItem* card(const QString& bundleID)
    {
        return find(settingsWindow(), QStringLiteral("card:") + bundleID);
    }
    QString destinationOf(const QString& bundleID)
    {
        for (const GroupedApp& row : model().groupedApps()) {
            if (row.id == bundleID)
                return model().destination(row);
        }
        return {};
    }
    QString shownText(const QString& name)
    {
        return require(settingsWindow(), name)->property("text").toString();
    }
    bool shown(const QString& name)
    {
        QQuickItem* item = find(settingsWindow(), name);
        return item && item->isVisible();
    }
    bool enabled(const QString& name) { return require(settingsWindow(), name)->isEnabled(); }

    // A text field's text as an edit leaves it, for windows that may not hold the keyboard (on an
    // X server without a window manager activation is not guaranteed).
    static void enterText(QQuickItem* field, const QString& text)
    {
        ASSERT_NE(field, nullptr);
        field->setProperty("text", text);
        QMetaObject::invokeMethod(field, "textEdited");
    }

    // Typing into whatever has the keyboard focus.
    void type(const QString& text)
    {
        for (const QChar character : text)
            QTest::keyClick(settingsWindow(), character.toLatin1());
        QCoreApplication::processEvents();
    }

    // What another app's drag (or the platform's own drag of a card) delivers: the drag enters
    // the area and is dropped there. True when the drop was taken.
    bool dropOn(QQuickItem* target, QMimeData& data)
    {
        if (!target)
            return false;
        QQuickWindow* window = settingsWindow();
        const QPoint at = centreOf(target);
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &enter);
        QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &move);
        QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window, &drop);
        settle();
        return drop.isAccepted();
    }
    bool dropText(QQuickItem* target, const QString& text)
    {
        QMimeData data;
        data.setText(text);
        return dropOn(target, data);
    }

    static QString xdotool()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            return {};
        return QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    }
    // A press on one point, a move in steps to another, and the release there once `over` says
    // the drag has arrived (or a few seconds have passed), by the X server's own pointer: the
    // platform's drag loop runs inside the wait, until `done` holds.
    bool pointerDrag(QPoint from, QPoint to, const std::function<bool()>& done,
                     const std::function<bool()>& over = {})
    {
        const auto at = [](QPoint point) {
            return QStringList{QString::number(point.x()), QString::number(point.y())};
        };
        QStringList script = QStringList{QStringLiteral("mousemove")} + at(from);
        script << QStringLiteral("sleep") << QStringLiteral("0.3") << QStringLiteral("mousedown")
               << QStringLiteral("1") << QStringLiteral("sleep") << QStringLiteral("0.3");
        for (int step = 1; step <= 8; ++step) {
            script << QStringLiteral("mousemove") << at(from + (to - from) * step / 8);
            script << QStringLiteral("sleep") << QStringLiteral("0.1");
        }
        // Still over the target: the drag hears the pointer while it waits for the release.
        script << QStringLiteral("mousemove") << at(to + QPoint(1, 1)) << QStringLiteral("sleep")
               << QStringLiteral("0.2") << QStringLiteral("mousemove") << at(to);
        QProcess pointer;
        pointer.start(xdotool(), script);
        // A slow build may start the drag late: the release waits until the drag is over the
        // target. The check runs from a timer, since the drag's own loop holds the stack.
        QProcess release;
        QElapsedTimer elapsed;
        elapsed.start();
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (release.state() != QProcess::NotRunning || pointer.state() != QProcess::NotRunning)
                return;
            if ((over && !over()) && elapsed.elapsed() < 8000)
                return;
            poll.stop();
            release.start(xdotool(), {QStringLiteral("mouseup"), QStringLiteral("1")});
        });
        poll.start(50);
        const bool happened = QTest::qWaitFor(done, 20000);
        poll.stop();
        pointer.waitForFinished(5000);
        if (release.state() == QProcess::NotRunning && !happened)
            release.start(xdotool(), {QStringLiteral("mouseup"), QStringLiteral("1")});
        release.waitForFinished(5000);
        settle();
        return happened;
    }
    // A card dragged onto an area: with the real pointer on an X server, else as the platform's
    // drag delivers it (its text payload dropped on the area).
    void dragCard(const QString& bundleID, const QString& destination)
    {
        QQuickItem* from = card(bundleID);
        QQuickItem* to = area(destination);
        ASSERT_NE(from, nullptr) << bundleID.toStdString();
        ASSERT_NE(to, nullptr);
        if (xdotool().isEmpty()) {
            dropText(to, QString::fromLatin1(TrayOrganizerDrop::payloadPrefix) + bundleID);
            return;
        }
        QQuickWindow* window = settingsWindow();
        window->raise();
        window->requestActivate();
        pointerDrag(
            window->mapToGlobal(centreOf(from)), window->mapToGlobal(centreOf(to)),
            [&] { return destinationOf(bundleID) == destination; },
            [&] { return presenter()->areas()->dropTarget() == destination; });
    }
};

} // namespace velmor::test
