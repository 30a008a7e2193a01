#include "defaults_faults.h"

#include "foundation/json.h"
#include "foundation/regular_file.h"
#include "foundation/system_error.h"
#include "simulated_mac/simulated_home.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace velmor::defaults_tool {

namespace simulated_home = simulated_mac::simulated_home;
namespace {

// Knobs are a few lines a test writes.
constexpr qint64 maximumKnobBytes = 64 * 1024;
const std::string kFullDiskAccess = simulated_home::fullDiskAccessKey.toStdString();

[[noreturn]] void invalid(const QString& path, const QString& reason)
{
    throw SystemError(SystemError::Kind::Parse, QStringLiteral("%1: %2").arg(path, reason));
}

std::optional<Json> readJson(const QString& path)
{
    if (!QFile::exists(path))
        return std::nullopt;
    std::optional<Json> json;
    try {
        json = json::tryParse(RegularFile::read(path, maximumKnobBytes));
    } catch (const SystemError& error) {
        invalid(path, error.description());
    }
    if (!json || !json->is_object())
        invalid(path, QStringLiteral("not a JSON object"));
    return json;
}

int nonNegative(const Json& knob, const char* name, const QString& path)
{
    if (!knob.contains(name))
        return 0;
    const Json& value = knob.at(name);
    if (!value.is_number_integer() || value.get<qint64>() < 0 || value.get<qint64>() > 1000000)
        invalid(path, QStringLiteral("“%1” must be a whole number from 0").arg(QLatin1String(name)));
    return value.get<int>();
}

bool flag(const Json& knob, const char* name, const QString& path)
{
    if (!knob.contains(name))
        return false;
    if (!knob.at(name).is_boolean())
        invalid(path, QStringLiteral("“%1” must be true or false").arg(QLatin1String(name)));
    return knob.at(name).get<bool>();
}

// The knob's fault when it applies to the run-th run (1-based) of its command; run 0 only checks it.
std::optional<Fault> faultOf(const Json& knob, int run, const QString& command, const QString& path)
{
    if (!knob.is_object())
        invalid(path, QStringLiteral("each knob must be an object"));
    static const QStringList common{QStringLiteral("afterRuns"), QStringLiteral("times"),
                                    QStringLiteral("hangSeconds"), QStringLiteral("exitStatus"),
                                    QStringLiteral("denyAccess")};
    const QString special =
        command == QLatin1String("export") ? QStringLiteral("corruptOutput") : QStringLiteral("ignore");
    for (const auto& [name, value] : knob.items()) {
        const QString member = json::toQString(name);
        if (!common.contains(member) && member != special)
            invalid(path, QStringLiteral("unknown knob “%1” for %2").arg(member, command));
    }
    const int after = nonNegative(knob, "afterRuns", path);
    const int times = nonNegative(knob, "times", path);
    Fault fault;
    fault.hangSeconds = nonNegative(knob, "hangSeconds", path);
    if (knob.contains("exitStatus")) {
        const int status = nonNegative(knob, "exitStatus", path);
        if (status > 255)
            invalid(path, QStringLiteral("“exitStatus” must be at most 255"));
        fault.exitStatus = status;
    }
    fault.denyAccess = flag(knob, "denyAccess", path);
    fault.corruptOutput = flag(knob, "corruptOutput", path);
    fault.ignore = flag(knob, "ignore", path);
    if (run == 0 || run <= after || (knob.contains("times") && run > after + times))
        return std::nullopt;
    return fault;
}

} // namespace

QString DefaultsFaults::hangRecordPath() const
{
    return simulated_home::defaultsHangRecordPath(m_home);
}

Fault DefaultsFaults::begin(const QString& command) const
{
    const QString runsPath = simulated_home::defaultsRunsPath(m_home);
    Json runs = readJson(runsPath).value_or(Json::object());
    const std::string name = json::toStd(command);
    const int run =
        (runs.contains(name) && runs.at(name).is_number_integer() ? runs.at(name).get<int>() : 0) + 1;
    runs[name] = run;
    QDir().mkpath(simulated_home::simulatorFolder(m_home));
    QSaveFile counter(runsPath);
    if (!counter.open(QIODevice::WriteOnly) || counter.write(json::serialize(runs)) < 0 || !counter.commit())
        invalid(runsPath, counter.errorString());

    const QString faultsPath = simulated_home::defaultsFaultsPath(m_home);
    const auto faults = readJson(faultsPath);
    if (!faults)
        return {};
    // The whole file is checked on every run, so a typo fails as loudly as a fault would show.
    std::optional<Fault> chosen;
    for (const auto& [key, knobs] : faults->items()) {
        const QString knobCommand = json::toQString(key);
        if (knobCommand != QLatin1String("export") && knobCommand != QLatin1String("import"))
            invalid(faultsPath, QStringLiteral("unknown command “%1”").arg(knobCommand));
        const Json list = knobs.is_array() ? knobs : Json::array({knobs});
        for (const Json& knob : list) {
            const auto fault = faultOf(knob, knobCommand == command ? run : 0, knobCommand, faultsPath);
            if (fault && !chosen)
                chosen = fault;
        }
    }
    return chosen.value_or(Fault{});
}

bool DefaultsFaults::fullDiskAccess() const
{
    const QString systemPath = simulated_home::systemSwitchesPath(m_home);
    const auto system = readJson(systemPath);
    if (!system || !system->contains(kFullDiskAccess))
        return true;
    if (!system->at(kFullDiskAccess).is_boolean())
        invalid(systemPath, QStringLiteral("“fullDiskAccess” must be true or false"));
    return system->at(kFullDiskAccess).get<bool>();
}

} // namespace velmor::defaults_tool
