#include "organizer_fixture.h"

#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>

using namespace velmor;
using namespace velmor::test;

namespace {

QStringList pointerDrag(QPoint from, QPoint to)
{
    const auto at = [](QPoint point) {
        return QStringList{QString::number(point.x()), QString::number(point.y())};
    };
    QStringList script = QStringList{QStringLiteral("mousemove")} + at(from);
    script << QStringLiteral("mousedown") << QStringLiteral("1") << QStringLiteral("sleep")
           << QStringLiteral("0.2");
    for (int step = 1; step <= 8; ++step) {
        script << QStringLiteral("mousemove") << at(from + (to - from) * step / 8);
        script << QStringLiteral("sleep") << QStringLiteral("0.05");
    }
    script << QStringLiteral("sleep") << QStringLiteral("0.2") << QStringLiteral("mouseup")
           << QStringLiteral("1");
    return script;
}

} // namespace

class RealPointerDrag : public OrganizerTest {};

// The card's drag is the platform's own drag with a text payload: only real pointer events from
// the X server carry it through, as a person's hand does.
TEST_F(RealPointerDrag, ACardDraggedToAnotherAreaMovesItsAppAndHidesItsIcon)
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        GTEST_SKIP() << "needs the pointer of an X server";
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xdotool.isEmpty())
        GTEST_SKIP() << "xdotool is not installed";
    start();
    launch();
    const QString weather = QStringLiteral("com.example.weather");
    QQuickWindow* window = settingsWindow();
    window->raise();
    window->requestActivate();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    QQuickItem* from = card(weather);
    ASSERT_NE(from, nullptr);
    QQuickItem* to = area(QStringLiteral("alwaysHidden"));

    QProcess pointer;
    pointer.start(xdotool,
                  pointerDrag(window->mapToGlobal(centreOf(from)), window->mapToGlobal(centreOf(to))));
    // The platform's drag loop runs inside this wait until the pointer is released over the area.
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return destinationOf(weather) == QLatin1String("alwaysHidden"); }, 15000));
    pointer.waitForFinished(5000);
    settle(2);
    EXPECT_EQ(destinationOf(weather), QStringLiteral("alwaysHidden"));
    EXPECT_EQ(find(macWindow(), QStringLiteral("statusItem:status:com.example.weather::Item-0")), nullptr);
}
