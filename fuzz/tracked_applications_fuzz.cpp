// The control center's tracked-applications list: apply a hide, restore it, verify, scan. A hide
// that was applied must restore to a list that verifies, and restore nothing twice.

#include "foundation/system_error.h"
#include "fuzz_input.h"
#include "fuzz_target.h"
#include "tray_visibility/tray_tracked_applications.h"

#include <cstdlib>

using namespace velmor;
using T = TrayTrackedApplications;

VELMOR_FUZZ_HARNESS(tracked_applications)
{
    fuzz::FuzzInput input(data, size);
    const bool withVisible = input.flag();
    QSet<QString> hidden{QStringLiteral("com.example.a"), QStringLiteral("com.example.b")};
    const QString extra = input.text();
    if (!extra.isEmpty())
        hidden.insert(extra);
    const T::Executables running{
        {QStringLiteral("com.example.a"), {QStringLiteral("/Applications/A.app/Contents/MacOS/A")}},
        {QStringLiteral("com.example.b"), {input.text()}},
        {QStringLiteral("com.example.c"), {QStringLiteral("file:///Applications/C.app/C")}}};
    const QString own = QStringLiteral("local.velmor.tray");
    const QByteArray list = input.rest();
    try {
        const std::optional<QSet<QString>> visible =
            withVisible ? std::optional<QSet<QString>>(QSet<QString>{QStringLiteral("com.example.c")})
                        : std::nullopt;
        const T::Result result = T::applying(hidden, running, own, list, visible);
        (void)T::menuBundleIDs(list, running, own);
        if (!T::verifiesVisibilityChange(list, result.data, result.data))
            std::abort(); // a list always confirms itself
        const QByteArray restored = T::restoring(result.changes, result.data);
        if (!T::verifiesVisibilityChange(result.data, restored, restored))
            std::abort();
        if (T::restoring(result.changes, restored) != restored)
            std::abort(); // a second restore finds nothing left to undo
    } catch (const T::Failure&) {
    } catch (const SystemError&) {
    }
    return 0;
}
