#include "telemetry/app_signal_context.h"

namespace velmor {
namespace {

constexpr auto missingVersion = "0";

constexpr auto upTo8Class = "up_to_8GB";
constexpr auto upTo16Class = "up_to_16GB";
constexpr auto upTo32Class = "up_to_32GB";
constexpr auto over32Class = "over_32GB";

QString versionPart(const QVariant& value)
{
    if (value.typeId() != QMetaType::QString)
        return QString::fromLatin1(missingVersion);
    return value.toString();
}

} // namespace

AppSignalContext AppSignalContext::describe(const std::optional<QString>& bundleIdentifier,
                                            const QVariant& shortVersion, const QVariant& bundleVersion,
                                            SystemVersion system, quint64 physicalMemory)
{
    AppSignalContext context;
    context.app = bundleIdentifier && !bundleIdentifier->isEmpty() ? *bundleIdentifier
                                                                   : QString::fromLatin1(fallbackApp);
    context.release = releaseText(shortVersion, bundleVersion);
    context.os = systemText(system);
    context.architecture = QString::fromLatin1(architectureName);
    context.memoryClass = memoryClassOf(physicalMemory);
    return context;
}

QString AppSignalContext::releaseText(const QVariant& shortVersion, const QVariant& bundleVersion)
{
    return versionPart(shortVersion) + u'+' + versionPart(bundleVersion);
}

QString AppSignalContext::systemText(SystemVersion system)
{
    return QStringLiteral("%1.%2.%3").arg(system.major).arg(system.minor).arg(system.patch);
}

QString AppSignalContext::memoryClassOf(quint64 physicalMemory)
{
    const quint64 gibibytes = physicalMemory >> 30;
    if (gibibytes <= 8)
        return QString::fromLatin1(upTo8Class);
    if (gibibytes <= 16)
        return QString::fromLatin1(upTo16Class);
    if (gibibytes <= 32)
        return QString::fromLatin1(upTo32Class);
    return QString::fromLatin1(over32Class);
}

Json AppSignalContext::metadata() const
{
    Json members = Json::object();
    members["os"] = json::toStd(os);
    members["architecture"] = json::toStd(architecture);
    members["memory_class"] = json::toStd(memoryClass);
    return members;
}

} // namespace velmor
