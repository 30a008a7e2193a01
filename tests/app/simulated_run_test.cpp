#include "app/simulated_run.h"
#include "tray/native_tray_controller.h"
#include "tray/tray_app.h"
#include "tray/tray_delegate.h"
#include "tray/tray_model.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace velmor;

namespace {

QStringList titles(const platform::SimulatedDesktop::Snapshot& snapshot)
{
    QStringList result;
    for (const auto& item : snapshot.items)
        result.append(item.title);
    return result;
}

} // namespace

// The app as a whole on the default desktop: grouping applied from the organizer, then a kill
// while icons are hidden; the next start gives every icon back.
TEST(SimulatedRun, AKilledAppGivesEveryIconBackAtItsNextStart)
{
    QTemporaryDir home;
    SimulatedRun run(
        platform::Scenario::load(QStringLiteral(VELMOR_SOURCE_DIRECTORY "/scenarios/default.json")),
        home.path(), QStringLiteral(VELMOR_TOOL_DIRECTORY "/velmor-defaults"));
    run.launch();
    run.settle();
    ASSERT_TRUE(run.app().delegate().controller()->perAppMode());
    const QStringList before = titles(run.desktop().snapshot());

    run.app().model().setDestination(GroupedApp{QStringLiteral("com.example.weather"), {}, {}, {}},
                                     QStringLiteral("expandable"));
    run.settle();
    const NativeTrayController& controller = *run.app().delegate().controller();
    EXPECT_TRUE(controller.configured());
    EXPECT_FALSE(controller.expanded());
    EXPECT_EQ(run.desktop().snapshot().hiddenApps, QStringList{QStringLiteral("com.example.weather")});
    EXPECT_FALSE(titles(run.desktop().snapshot()).contains(QStringLiteral("Weather")));
    const QString journal =
        home.filePath(QStringLiteral("Library/Application Support/Velmor Tray/visibility-recovery.json"));
    EXPECT_TRUE(QFileInfo::exists(journal));

    run.kill();
    run.settle();
    EXPECT_EQ(run.desktop().snapshot().hiddenApps, QStringList{QStringLiteral("com.example.weather")})
        << "a killed app cannot give anything back";

    run.launch();
    run.settle();
    EXPECT_TRUE(run.desktop().snapshot().hiddenApps.isEmpty());
    EXPECT_TRUE(titles(run.desktop().snapshot()).contains(QStringLiteral("Weather")));
    EXPECT_FALSE(QFileInfo::exists(journal));
    EXPECT_EQ(titles(run.desktop().snapshot()).size(), before.size());
}
