#include "suite_ui/beta_support_information.h"

#include "platform/host.h"
#include "telemetry/app_signal_context.h"

#include <QStringList>

namespace velmor {
namespace {

constexpr auto appLabel = "App: ";
constexpr auto versionLabel = "Version: ";
constexpr auto buildLabel = "Build: ";
constexpr auto systemLabel = "macOS: ";
constexpr auto architectureLine = "App architecture: Apple Silicon (arm64)";

} // namespace

QString BetaSupportInformation::text(const QString& appName, const platform::Host& host)
{
    const platform::MainBundle& bundle = host.mainBundle();
    const auto infoOrUnavailable = [&bundle](const char* key) {
        return bundle.infoString(QString::fromLatin1(key)).value_or(QString::fromLatin1(unavailable));
    };
    const platform::OperatingSystemVersion system = host.systemVersion();
    return QStringList{
        QString::fromLatin1(appLabel) + appName,
        QString::fromLatin1(versionLabel) + infoOrUnavailable(AppSignalContext::shortVersionInfoKey),
        QString::fromLatin1(buildLabel) + infoOrUnavailable(AppSignalContext::bundleVersionInfoKey),
        QString::fromLatin1(systemLabel) +
            QStringLiteral("%1.%2.%3").arg(system.major).arg(system.minor).arg(system.patch),
        QString::fromLatin1(architectureLine),
    }
        .join(u'\n');
}

} // namespace velmor
