#pragma once

#include "foundation/json.h"
#include "foundation/private_files.h"
#include "foundation/property_list.h"
#include "foundation/regular_file.h"
#include "simulated_mac/simulated_home.h"
#include "simulated_mac/simulated_host.h"
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
    // The host's temporary folder, where the tool runs' folders come and must go.
    QString temporary() const { return m_root.filePath(QStringLiteral("tmp")); }
    simulated_mac::SimulatedHost::Configuration hostConfiguration() const
    {
        simulated_mac::SimulatedHost::Configuration configuration;
        configuration.homeDirectory = home();
        configuration.temporaryDirectory = temporary();
        configuration.defaultsToolPath = toolPath();
        return configuration;
    }
    QString controlCenterDomain() const { return MacTrayPreferenceStore::defaultDomain(home()); }
    QString menuBarDomain() const { return MacTrayPositionStore::defaultDomain(home()); }

    static void writeDomain(const QString& domain, const PropertyList& content)
    {
        QDir().mkpath(QFileInfo(domain).absolutePath());
        private_files::writeAtomically(domain + QStringLiteral(".plist"), content.toBinary());
    }
    static PropertyList readDomain(const QString& domain)
    {
        return PropertyList::decode(
            RegularFile::read(domain + QStringLiteral(".plist"), PropertyList::maximumBytes));
    }

    // The tracked applications, beside an entry the app does not know.
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
        return domain.root().value(QStringLiteral("TrailingItemPreferredPositions")).value(key).toReal();
    }

    void setFaults(const QByteArray& json) const
    {
        writeSimulatorFile(simulated_mac::simulated_home::defaultsFaultsPath(home()), json);
    }
    void setFullDiskAccess(bool granted) const
    {
        writeSimulatorFile(
            simulated_mac::simulated_home::systemSwitchesPath(home()),
            json::serialize(Json{{json::toStd(simulated_mac::simulated_home::fullDiskAccessKey), granted}}));
    }
    // Runs of "export" or "import" since the counter was last reset.
    int runs(const char* command) const
    {
        const QString path = simulated_mac::simulated_home::defaultsRunsPath(home());
        return QFileInfo::exists(path) ? json::parse(RegularFile::read(path, 1024 * 1024)).value(command, 0)
                                       : 0;
    }
    void resetRuns() const { QFile::remove(simulated_mac::simulated_home::defaultsRunsPath(home())); }
    // The pids of hanging runs and of the children they started.
    QList<qint64> hangingProcesses() const
    {
        QList<qint64> pids;
        QFile file(simulated_mac::simulated_home::defaultsHangRecordPath(home()));
        if (file.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : file.readAll().split('\n'))
                if (!line.isEmpty())
                    pids.append(line.toLongLong());
        }
        return pids;
    }
    QStringList leftovers() const
    {
        return QDir(temporary()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

private:
    static void writeSimulatorFile(const QString& path, const QByteArray& content)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        private_files::writeAtomically(path, content);
    }

    QTemporaryDir m_root;
};

} // namespace velmor::test
