#pragma once

#include "app/qml_modules.h"
#include "app/simulated_mac_view.h"
#include "app/simulated_run.h"
#include "app/simulated_scene_wiring.h"
#include "app/tray_scene.h"
#include "settings_window/tray_settings_presenter.h"
#include "simulated_mac/views/simulated_mac_presenter.h"
#include "support/qml_warnings.h"
#include "tray/native_tray_controller.h"
#include "tray/tray_delegate.h"
#include "tray/tray_model.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QtQuickTest/quicktest.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>

namespace velmor::test {

// The app and the simulated Mac on screen, the way `velmor-tray` builds them, on virtual time:
// the real QML modules in real windows (offscreen, or on the X server of an xcb run). Tests act
// as a person: they find controls by object name, click, drag and drop, and read what is shown.
// Any QML warning fails the test.
class GuiRunTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { registerQmlModules(); }

    void TearDown() override
    {
        m_view.reset();
        m_wiring.reset();
        m_run.reset();
        // Windows hand their textures to deleteLater(): let those deletions happen here.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
        const QStringList warnings = m_warnings.taken();
        EXPECT_TRUE(warnings.isEmpty()) << warnings.join(u'\n').toStdString();
    }

    void start(const QByteArray& scenarioJson = {},
               const QString& scenarioName = QStringLiteral("default.json"))
    {
        const simulated_mac::Scenario scenario =
            scenarioJson.isEmpty()
                ? simulated_mac::Scenario::load(QStringLiteral(VELMOR_SOURCE_DIRECTORY "/scenarios/default.json"))
                : simulated_mac::Scenario::parse(scenarioJson);
        m_run = std::make_unique<SimulatedRun>(scenario, m_home.path(),
                                               QStringLiteral(VELMOR_TOOL_DIRECTORY "/velmor-defaults"));
        m_wiring = std::make_unique<SimulatedSceneWiring>(*m_run);
        m_view = std::make_unique<SimulatedMacView>(m_run->desktop(), scenarioName);
        ASSERT_NE(m_view->window(), nullptr) << m_view->loadErrors().join(u'\n').toStdString();
        m_wiring->setUpdaterAlertHandler(
            [this](simulated_mac::UpdaterAlert* alert) { m_view->presenter().setUpdaterAlert(alert); });
        m_view->window()->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_view->window()));
    }
    void launch()
    {
        m_run->launch();
        settle();
        ASSERT_NE(settingsWindow(), nullptr) << scene()->loadErrors().join(u'\n').toStdString();
    }

    // Lets the app and the world finish what is due (virtual time passes, at least `seconds`),
    // then the windows draw it.
    void settle(double seconds = 1.0)
    {
        // A moved card's move runs once the frame that shows it was presented.
        if (scene()) {
            EXPECT_TRUE(QTest::qWaitFor([this] { return !scene()->presenter().areas()->movePending(); }, 5000))
                << "a moved card's frame never came";
        }
        for (int round = 0; round < 3; ++round) {
            QCoreApplication::processEvents();
            m_run->settle(round == 0 ? seconds : 0.1);
        }
        m_view->presenter().refresh();
        QCoreApplication::processEvents();
        // Positions are settled in the polish before a frame: wait for it, not for time.
        for (QQuickWindow* window : {macWindow(), settingsWindow()}) {
            if (window && window->isVisible())
                QQuickTest::qWaitForPolish(window);
        }
    }

    SimulatedRun& run() { return *m_run; }
    simulated_mac::SimulatedDesktop& desktop() { return m_run->desktop(); }
    TrayModel& model() { return m_run->app().model(); }
    NativeTrayController& controller() { return *m_run->app().delegate().controller(); }
    TrayScene* scene() { return m_wiring->scene(); }
    QQuickWindow* settingsWindow() { return scene() ? scene()->settingsWindow() : nullptr; }
    QQuickWindow* macWindow() { return m_view->window(); }
    simulated_mac::SimulatedMacPresenter& mac() { return m_view->presenter(); }

    // Searches what is drawn: the window's items and its overlay, where popups live.
    static QQuickItem* find(QQuickWindow* window, const QString& name)
    {
        if (!window)
            return nullptr;
        QQuickItem* root = window->contentItem();
        while (root->parentItem())
            root = root->parentItem();
        return findIn(root, name);
    }
    static QQuickItem* findIn(QQuickItem* item, const QString& name)
    {
        if (item->objectName() == name)
            return item;
        for (QQuickItem* child : item->childItems()) {
            if (QQuickItem* found = findIn(child, name))
                return found;
        }
        return nullptr;
    }
    static QList<QQuickItem*> allItems(QQuickWindow* window)
    {
        QList<QQuickItem*> items;
        QList<QQuickItem*> pending{window->contentItem()->parentItem() ? window->contentItem()->parentItem()
                                                                       : window->contentItem()};
        while (!pending.isEmpty()) {
            QQuickItem* item = pending.takeFirst();
            items.append(item);
            pending.append(item->childItems());
        }
        return items;
    }
    // Whether the window shows the text: a visible item draws it (or offers it as a field's
    // placeholder), names or describes itself so for assistive technology, or the window has it as
    // title.
    static bool showsText(QQuickWindow* window, const QString& text)
    {
        if (!window)
            return false;
        if (window->title() == text)
            return true;
        for (QQuickItem* item : allItems(window)) {
            if (!item->isVisible())
                continue;
            if (item->property("text").toString() == text ||
                item->property("placeholderText").toString() == text)
                return true;
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(item);
            if (accessible && (accessible->text(QAccessible::Name) == text ||
                               accessible->text(QAccessible::Description) == text))
                return true;
        }
        return false;
    }
    // Each text of the list, word for word, shows on the window.
    static void expectShown(QQuickWindow* window, std::initializer_list<const char*> texts)
    {
        for (const char* text : texts)
            EXPECT_TRUE(showsText(window, QString::fromUtf8(text))) << "not shown: " << text;
    }
    static QString text(QQuickItem* item) { return item ? item->property("text").toString() : QString(); }
    static QString utf8(const char* text) { return QString::fromUtf8(text); }
    QQuickItem* require(QQuickWindow* window, const QString& name)
    {
        QQuickItem* item = find(window, name);
        EXPECT_NE(item, nullptr) << "no item named " << name.toStdString();
        return item;
    }
    static QPoint centreOf(QQuickItem* item)
    {
        return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
    }
    // As a person does before a click: the view that holds the item scrolls until it is in sight.
    void scrollIntoView(QQuickWindow* window, QQuickItem* item)
    {
        for (QQuickItem* view = item->parentItem(); view; view = view->parentItem()) {
            if (!view->inherits("QQuickFlickable"))
                continue;
            // Whole, and not at the very edge, in the view and in the window.
            const QRectF shown = QRectF(0, 0, view->width(), view->height())
                                     .intersected(view->mapRectFromScene(QRectF(QPointF(0, 0), window->size())));
            const QRectF where = item->mapRectToItem(view, QRectF(0, 0, item->width(), item->height()));
            if (where.top() >= shown.top() + 4 && where.bottom() <= shown.bottom() - 4)
                return;
            const double end = view->property("contentHeight").toDouble() - view->height();
            const double wanted = view->property("contentY").toDouble() + where.center().y() - shown.center().y();
            view->setProperty("contentY", std::clamp(wanted, 0.0, std::max(0.0, end)));
            QQuickTest::qWaitForPolish(window);

            return;
        }
    }
    void click(QQuickWindow* window, QQuickItem* item, Qt::MouseButton button = Qt::LeftButton)
    {
        ASSERT_NE(item, nullptr);
        ASSERT_TRUE(item->isVisible()) << item->objectName().toStdString();
        scrollIntoView(window, item);
        const QPoint centre = centreOf(item);
        ASSERT_TRUE(QRect(QPoint(0, 0), window->size()).contains(centre))
            << item->objectName().toStdString() << " is out of the window's sight";
        QTest::mouseClick(window, button, Qt::NoModifier, centre);
        settle();
    }
    // A drag with a modifier held from mouse-down to mouse-up, as a person Command-drags.
    void drag(QQuickWindow* window, QQuickItem* item, QPoint to, Qt::KeyboardModifiers modifiers)
    {
        ASSERT_NE(item, nullptr);
        const QPoint from = centreOf(item);
        QTest::mousePress(window, Qt::LeftButton, modifiers, from);
        for (int step = 1; step <= 5; ++step)
            QTest::mouseMove(window, from + (to - from) * step / 5);
        QTest::mouseRelease(window, Qt::LeftButton, modifiers, to);
        settle();
    }

    QmlWarnings m_warnings;
    QTemporaryDir m_home;
    std::unique_ptr<SimulatedRun> m_run;
    std::unique_ptr<SimulatedSceneWiring> m_wiring;
    std::unique_ptr<SimulatedMacView> m_view;
};

} // namespace velmor::test
