// The visibility recovery journal, as a crash or another hand may have left it: release and hide
// again over a well-formed list. A journal the app cannot read is an error, never a write.

#include "foundation/error.h"
#include "fuzz_input.h"
#include "fuzz_target.h"
#include "support/fake_workspace.h"
#include "support/test_host.h"
#include "support/tracked_applications_fixture.h"
#include "tray_visibility/memory_stores.h"
#include "tray_visibility/tray_preference_visibility.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

using namespace velmor;

VELMOR_FUZZ_HARNESS(visibility_journal)
{
    static QTemporaryDir folder;
    static const simulated_mac::SimulatedHost host(test::hostConfiguration(folder.path(), folder.path()));
    static test::FakeWorkspace workspace;
    fuzz::FuzzInput input(data, size);
    const bool hideAgain = input.flag();
    const QString journal = folder.filePath(QStringLiteral("visibility-recovery.json"));
    {
        QFile file(journal);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(input.rest());
    }
    auto store = std::make_unique<test::MemoryPreferenceStore>();
    store->data = test::TrackedList()
                      .addBundle(QStringLiteral("com.example.a"), false)
                      .addBundle(QStringLiteral("com.example.b"))
                      .addBundle(QStringLiteral("com.apple.controlcenter"))
                      .toBinary();
    const QByteArray before = store->data;
    test::MemoryPreferenceStore& memory = *store;
    TrayPreferenceVisibility visibility(host, workspace, std::move(store), journal);
    const std::optional<ErrorValue> released = visibility.release();
    if (released && memory.data != before)
        std::abort(); // a failed release wrote something
    if (hideAgain) {
        try {
            visibility.apply({QStringLiteral("com.example.b")}, {}, {{QStringLiteral("com.example.b"), {}}},
                             QStringLiteral("local.velmor.tray"));
            if (visibility.release())
                std::abort(); // what the app journalled itself must always release
        } catch (const Error&) {
        }
    }
    QFile::remove(journal);
    return 0;
}
