#pragma once

#include "foundation/json.h"

#include <QString>
#include <QVariant>

#include <optional>

namespace velmor {

// What every request says about the app and the machine it runs on. Deliberately coarse: the
// memory is a class, not a figure, and nothing identifies the user.
struct AppSignalContext {
    static constexpr auto fallbackApp = "velmor";
    static constexpr auto architectureName = "arm64";
    static constexpr auto shortVersionInfoKey = "CFBundleShortVersionString";
    static constexpr auto bundleVersionInfoKey = "CFBundleVersion";

    QString app;
    QString release;
    QString os;
    QString architecture;
    QString memoryClass;

    struct SystemVersion {
        int major = 0;
        int minor = 0;
        int patch = 0;
    };

    // `shortVersion` and `bundleVersion` are the raw Info.plist values (anything but a string
    // counts as missing).
    static AppSignalContext describe(const std::optional<QString>& bundleIdentifier,
                                     const QVariant& shortVersion, const QVariant& bundleVersion,
                                     SystemVersion system, quint64 physicalMemory);

    // "1.4+57"; "0" stands in for a missing part.
    static QString releaseText(const QVariant& shortVersion, const QVariant& bundleVersion);
    // Always three numbers, "15.3.0".
    static QString systemText(SystemVersion system);
    static QString memoryClassOf(quint64 physicalMemory);

    // The members sent as the request's "metadata" object.
    Json metadata() const;

    friend bool operator==(const AppSignalContext&, const AppSignalContext&) = default;
};

} // namespace velmor
