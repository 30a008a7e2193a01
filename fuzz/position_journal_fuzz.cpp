// The position recovery journal, as a crash or another hand may have left it: restore, then arrange
// again. A journal the app cannot read is an error and leaves every position as it was.

#include "foundation/error.h"
#include "fuzz_input.h"
#include "fuzz_target.h"
#include "support/fake_workspace.h"
#include "support/test_host.h"
#include "tray_visibility/memory_stores.h"
#include "tray_visibility/tray_position_preferences.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

using namespace velmor;

VELMOR_FUZZ_HARNESS(position_journal)
{
    static QTemporaryDir folder;
    static const simulated_mac::SimulatedHost host(test::hostConfiguration(folder.path(), folder.path()));
    static test::FakeWorkspace workspace;
    fuzz::FuzzInput input(data, size);
    const bool arrangeAgain = input.flag();
    const QString journal = folder.filePath(QStringLiteral("position-recovery.json"));
    {
        QFile file(journal);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(input.rest());
    }
    const QString chevron = QStringLiteral("status:local.velmor.tray::VelmorTray.Native.regular");
    auto store = std::make_unique<test::MemoryPositionStore>();
    store->positions = {{chevron, 100},
                        {QStringLiteral("status:com.example.a::Item"), 30},
                        {QStringLiteral("status:com.example.b::Item"), 60}};
    const TrayPositionStore::Positions before = store->positions;
    test::MemoryPositionStore& memory = *store;
    TrayPositionPreferences positions(host, workspace, std::move(store), journal);
    try {
        positions.restore();
    } catch (const Error&) {
        if (memory.positions != before)
            std::abort(); // a failed restore moved something
    }
    if (arrangeAgain) {
        TrayPositionPreferences::Request request;
        request.hiddenBundleIDs = {QStringLiteral("com.example.a")};
        request.visibleBundleIDs = {QStringLiteral("com.example.b")};
        request.chevronKey = chevron;
        const TrayPositionPreferences::Aliases aliases{
            {QStringLiteral("com.example.a"), {QStringLiteral("com.example.a")}},
            {QStringLiteral("com.example.b"), {QStringLiteral("com.example.b")}}};
        try {
            positions.arrange(request, aliases);
        } catch (const Error&) {
        }
    }
    QFile::remove(journal);
    return 0;
}
