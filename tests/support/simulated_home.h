#pragma once

#include "foundation/json.h"
#include "foundation/private_files.h"
#include "foundation/property_list.h"
#include "platform/simulated/simulated_host.h"
#include "tray_visibility/mac_tray_position_store.h"
#include "tray_visibility/mac_tray_preference_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace velmor::test {

// A temporary simulated home with the two system domains as files, served by the real
// `velmor-defaults` stand-in, and the switches and counters the stand-in keeps there.
class SimulatedHome final {
public:
    SimulatedHome() { QDir(m_root.path()).mkpath(QStringLiteral("tmp")); }

    static QString toolPath() { return QStringLiteral(VELMOR_TOOL_DIRECTORY "/velmor-defaults"); }

    QString home() const { return m_root.filePath(QStringLiteral("home")); }
    // The host's temporary folder: the tool runs' folders appear and must disappear here.
    QString temporary() const { return m_root.filePath(QStringLiteral("tmp")); }
    platform::SimulatedHost::Configuration hostConfiguration() const
    {
        platform::SimulatedHost::Configuration configuration;
        configuration.homeDirectory = home();
        configuration.temporaryDirectory = temporary();
        configuration.defaultsToolPath = toolPath();
        return configuration;
    }

    QString controlCenterDomain() const { return MacTrayPreferenceStore::defaultDomain(home()); }
    QString menuBarDomain() const { return MacTrayPositionStore::defaultDomain(home()); }

    static void writeDomain(const QString& domain, const PropertyList& content)
    {
        const QString file = domain + QStringLiteral(".plist");
        QDir().mkpath(QFileInfo(file).absolutePath());
        private_files::writeAtomically(file, content.toBinary());
    }
    static PropertyList readDomain(const QString& domain)
    {
        return PropertyList::decode(private_files::read(domain + QStringLiteral(".plist")));
    }

    // The control center's domain with `list` as its tracked applications, beside an entry the
    // app does not know.
    void writeTrackedApplications(const QByteArray& list) const
    {
        PropertyList domain = PropertyList::dictionary();
        domain.root().setEntry(QStringLiteral("unrelated"), PropertyList::integer(7));
        domain.root().setEntry(QStringLiteral("trackedApplications"), PropertyList::data(list));
        writeDomain(controlCenterDomain(), domain);
    }
    QByteArray trackedApplications() const
    {
        return *readDomain(controlCenterDomain())
                    .root()
                    .value(QStringLiteral("trackedApplications"))
                    .toData();
    }

    void writePositions(const QList<std::pair<QString, double>>& positions) const
    {
        PropertyList dictionary = PropertyList::dictionary();
        for (const auto& [key, position] : positions)
            dictionary.root().setEntry(key, PropertyList::real(position));
        PropertyList domain = PropertyList::dictionary();
        domain.root().setEntry(QStringLiteral("TrailingItemPreferredPositions"), dictionary);
        domain.root().setEntry(QStringLiteral("unrelated"), PropertyList::string(QStringLiteral("kept")));
        writeDomain(menuBarDomain(), domain);
    }
    std::optional<double> position(const QString& key) const
    {
        const PropertyList domain = readDomain(menuBarDomain());
        const PlistNode node =
            domain.root().value(QStringLiteral("TrailingItemPreferredPositions")).value(key);
        if (const auto integer = node.toInteger())
            return double(*integer);
        return node.toReal();
    }

    void setFaults(const QByteArray& json) const
    {
        writeSimulatorFile(QStringLiteral("defaults-faults.json"), json);
    }
    void setFullDiskAccess(bool granted) const
    {
        writeSimulatorFile(QStringLiteral("system.json"),
                           granted ? "{\"fullDiskAccess\":true}" : "{\"fullDiskAccess\":false}");
    }
    // Runs of `command` ("export", "import") since the counter was last reset.
    int runs(const char* command) const
    {
        const QString path = simulatorFile(QStringLiteral("defaults-runs.json"));
        if (!QFileInfo::exists(path))
            return 0;
        return json::parse(private_files::read(path)).value(command, 0);
    }
    void resetRuns() const { QFile::remove(simulatorFile(QStringLiteral("defaults-runs.json"))); }
    // The pids of hanging runs and of the children they started.
    QList<qint64> hangingProcesses() const
    {
        QList<qint64> pids;
        QFile file(simulatorFile(QStringLiteral("defaults-hang.pids")));
        if (file.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : file.readAll().split('\n')) {
                if (!line.isEmpty())
                    pids.append(line.toLongLong());
            }
        }
        return pids;
    }
    // What the tool runs left in the temporary folder.
    QStringList leftovers() const
    {
        return QDir(temporary()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

private:
    QString simulatorFile(const QString& name) const
    {
        return QDir(home()).filePath(QStringLiteral(".velmor-simulator/") + name);
    }
    void writeSimulatorFile(const QString& name, const QByteArray& content) const
    {
        QDir().mkpath(QDir(home()).filePath(QStringLiteral(".velmor-simulator")));
        private_files::writeAtomically(simulatorFile(name), content);
    }

    QTemporaryDir m_root;
};

} // namespace velmor::test
