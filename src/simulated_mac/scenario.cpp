#include "simulated_mac/scenario.h"

#include "foundation/json.h"
#include "foundation/regular_file.h"
#include "foundation/system_error.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <set>

namespace velmor::simulated_mac {
namespace {

const QString unknownMemberMessage = QStringLiteral("Unknown member “%1” in %2");
const QString wrongTypeMessage = QStringLiteral("“%1” in %2 must be %3");
const QString wrongValueMessage = QStringLiteral("“%1” in %2 %3");
const QString notObjectMessage = QStringLiteral("%1 must be an object");
const QString duplicateMessage = QStringLiteral("%1 repeats the %2 “%3” of an earlier %4");
const QString scenarioName = QStringLiteral("the scenario");
constexpr qint64 maximumHitDepth = 8;

[[noreturn]] void fail(const QString& reason)
{
    throw SystemError(SystemError::Kind::Parse, reason);
}

// Reads the members of one JSON object, checking each type, and at the end rejects every member
// it was not asked for.
class ObjectReader final {
public:
    ObjectReader(const Json& object, QString where) : m_object(object), m_where(std::move(where))
    {
        if (!m_object.is_object())
            fail(notObjectMessage.arg(m_where));
    }

    const QString& where() const { return m_where; }

    const Json* member(const char* name)
    {
        m_known.insert(name);
        const auto it = m_object.find(name);
        return it == m_object.end() ? nullptr : &*it;
    }

    [[noreturn]] void wrongType(const char* name, const char* expected) const
    {
        fail(wrongTypeMessage.arg(QString::fromUtf8(name), m_where, QString::fromUtf8(expected)));
    }
    [[noreturn]] void wrongValue(const char* name, const QString& problem) const
    {
        fail(wrongValueMessage.arg(QString::fromUtf8(name), m_where, problem));
    }

    bool boolean(const char* name, bool fallback)
    {
        const Json* value = member(name);
        if (!value)
            return fallback;
        if (!value->is_boolean())
            wrongType(name, "a Boolean");
        return value->get<bool>();
    }

    double number(const char* name, double fallback)
    {
        const Json* value = member(name);
        if (!value)
            return fallback;
        if (!value->is_number() || !std::isfinite(value->get<double>()))
            wrongType(name, "a number");
        return value->get<double>();
    }

    double nonNegative(const char* name, double fallback)
    {
        const double value = number(name, fallback);
        if (value < 0)
            wrongValue(name, QStringLiteral("must not be negative"));
        return value;
    }

    double positive(const char* name, double fallback)
    {
        const double value = number(name, fallback);
        if (value <= 0)
            wrongValue(name, QStringLiteral("must be greater than 0"));
        return value;
    }

    QString string(const char* name, const QString& fallback)
    {
        const Json* value = member(name);
        if (!value)
            return fallback;
        if (!value->is_string())
            wrongType(name, "a string");
        return json::toQString(value->get<std::string>());
    }

    // Absent and null both give none; an empty string is refused.
    std::optional<QString> optionalName(const char* name)
    {
        const Json* value = member(name);
        if (!value || value->is_null())
            return std::nullopt;
        if (!value->is_string() || value->get<std::string>().empty())
            wrongType(name, "a non-empty string or null");
        return json::toQString(value->get<std::string>());
    }

    const Json* array(const char* name)
    {
        const Json* value = member(name);
        if (value && !value->is_array())
            wrongType(name, "an array");
        return value;
    }

    void finish() const
    {
        for (const auto& [name, value] : m_object.items()) {
            if (!m_known.contains(name))
                fail(unknownMemberMessage.arg(json::toQString(name), m_where));
        }
    }

private:
    const Json& m_object;
    QString m_where;
    std::set<std::string> m_known;
};

platform::OperatingSystemVersion parseVersion(ObjectReader& reader)
{
    const QString text = reader.string("version", QStringLiteral("27.0.0"));
    static const QRegularExpression shape(QStringLiteral("^(\\d{1,4})(?:\\.(\\d{1,4}))?(?:\\.(\\d{1,4}))?$"));
    const QRegularExpressionMatch match = shape.match(text);
    if (!match.hasMatch())
        reader.wrongValue("version", QStringLiteral("must look like “27.0.0”"));
    return platform::OperatingSystemVersion{match.captured(1).toInt(), match.captured(2).toInt(),
                                  match.captured(3).toInt()};
}

ScenarioSystem parseSystem(const Json& object)
{
    ObjectReader reader(object, QStringLiteral("system"));
    ScenarioSystem system;
    system.version = parseVersion(reader);
    system.accessibilityTrusted = reader.boolean("accessibilityTrusted", true);
    system.fullDiskAccess = reader.boolean("fullDiskAccess", true);
    system.physicalMemoryGB = reader.positive("physicalMemoryGB", 16);
    const QString appearance = reader.string("appearance", QStringLiteral("light"));
    if (appearance != QLatin1String("light") && appearance != QLatin1String("dark"))
        reader.wrongValue("appearance", QStringLiteral("must be “light” or “dark”"));
    system.darkAppearance = appearance == QLatin1String("dark");
    reader.finish();
    return system;
}

ScenarioLoginItems parseLoginItems(const Json& object)
{
    static const QList<std::pair<QString, platform::LoginItemStatus>> statuses{
        {QStringLiteral("notRegistered"), platform::LoginItemStatus::NotRegistered},
        {QStringLiteral("enabled"), platform::LoginItemStatus::Enabled},
        {QStringLiteral("requiresApproval"), platform::LoginItemStatus::RequiresApproval},
        {QStringLiteral("notFound"), platform::LoginItemStatus::NotFound},
    };
    ObjectReader reader(object, QStringLiteral("loginItems"));
    ScenarioLoginItems loginItems;
    const QString status = reader.string("status", statuses.first().first);
    const auto known = std::find_if(statuses.begin(), statuses.end(),
                                    [&](const auto& candidate) { return candidate.first == status; });
    if (known == statuses.end())
        reader.wrongValue(
            "status", QStringLiteral("must be “notRegistered”, “enabled”, “requiresApproval” or “notFound”"));
    loginItems.status = known->second;
    loginItems.requiresApproval = reader.boolean("requiresApproval", false);
    loginItems.registerError = reader.optionalName("registerError");
    loginItems.unregisterError = reader.optionalName("unregisterError");
    reader.finish();
    return loginItems;
}

double parseHousing(const Json& object, const QString& where, double screenWidth)
{
    ObjectReader reader(object, where);
    const double width = reader.positive("width", 185);
    if (width > screenWidth)
        reader.wrongValue("width", QStringLiteral("must not be wider than the screen (%1)").arg(screenWidth));
    reader.finish();
    return width;
}

ScenarioScreen parseScreen(const Json& object, int index, const QString& where)
{
    ObjectReader reader(object, where);
    ScenarioScreen screen;
    const double x = reader.number("x", 0);
    const double y = reader.number("y", 0);
    const double width = reader.positive("width", 1512);
    const double height = reader.positive("height", 982);
    screen.frame = QRectF(x, y, width, height);
    screen.builtIn = reader.boolean("builtIn", index == 0);
    screen.name = reader.optionalName("name").value_or(
        screen.builtIn ? QString::fromUtf8(ScenarioScreen::builtInName)
                       : QString::fromUtf8(ScenarioScreen::otherName).arg(index + 1));
    if (const Json* housing = reader.member("housing")) {
        if (!screen.builtIn)
            reader.wrongValue("housing", QStringLiteral("can only be on the built-in display"));
        screen.housingWidth = parseHousing(*housing, reader.where() + QStringLiteral(".housing"), width);
    }
    reader.finish();
    return screen;
}

QList<ScenarioScreen> parseScreens(const Json& screens)
{
    QList<ScenarioScreen> result;
    for (int i = 0; i < static_cast<int>(screens.size()); ++i) {
        const QString where = QStringLiteral("screens[%1]").arg(i);
        ScenarioScreen screen = parseScreen(screens[static_cast<std::size_t>(i)], i, where);
        // The primary screen defines the coordinate origin, as on the Mac.
        if (i == 0 && screen.frame.topLeft() != QPointF(0, 0))
            ObjectReader(screens[0], where)
                .wrongValue("x", QStringLiteral("and “y” must be 0: the first screen holds the origin"));
        const bool secondBuiltIn = screen.builtIn && std::any_of(result.cbegin(), result.cend(),
                                                                 [](const auto& s) { return s.builtIn; });
        if (secondBuiltIn)
            ObjectReader(screens[static_cast<std::size_t>(i)], where)
                .wrongValue("builtIn", QStringLiteral("must be true for one display at most"));
        result.append(std::move(screen));
    }
    return result;
}

HonourEdits parseHonourEdits(ObjectReader& reader)
{
    const Json* value = reader.member("honourEdits");
    if (!value)
        return {};
    if (value->is_number()) {
        const double delay = value->get<double>();
        if (!std::isfinite(delay) || delay < 0)
            reader.wrongValue("honourEdits", QStringLiteral("must not be a negative delay"));
        return HonourEdits{HonourEdits::Mode::AfterDelay, delay};
    }
    if (value->is_string() && value->get<std::string>() == "immediately")
        return HonourEdits{HonourEdits::Mode::Immediately, 0};
    if (value->is_string() && value->get<std::string>() == "never")
        return HonourEdits{HonourEdits::Mode::Never, 0};
    reader.wrongType("honourEdits", "“immediately”, “never” or a delay in seconds");
}

ScenarioMenuBar parseMenuBar(const Json& object)
{
    ObjectReader reader(object, QStringLiteral("menuBar"));
    ScenarioMenuBar menuBar;
    menuBar.height = reader.positive("height", menuBar.height);
    menuBar.leftLimit = reader.nonNegative("leftLimit", menuBar.leftLimit);
    menuBar.systemItemsWidth = reader.nonNegative("systemItemsWidth", menuBar.systemItemsWidth);
    menuBar.honourEdits = parseHonourEdits(reader);
    reader.finish();
    return menuBar;
}

ScenarioExtra parseExtra(const Json& object, const QString& where, int index)
{
    ObjectReader reader(object, where);
    ScenarioExtra extra;
    extra.name = reader.string("name", QStringLiteral("Item-%1").arg(index));
    if (extra.name.isEmpty())
        reader.wrongValue("name", QStringLiteral("must not be empty"));
    extra.title = reader.string("title", {});
    extra.description = reader.string("description", {});
    extra.identifier = reader.string("identifier", {});
    extra.width = reader.positive("width", extra.width);
    if (const Json* actions = reader.array("actions")) {
        extra.actions.clear();
        for (const Json& action : *actions) {
            if (!action.is_string())
                reader.wrongType("actions", "an array of strings");
            extra.actions.append(json::toQString(action.get<std::string>()));
        }
    }
    extra.group = reader.optionalName("group");
    if (const Json* position = reader.member("position"); position && !position->is_null()) {
        if (!position->is_number() || !std::isfinite(position->get<double>()))
            reader.wrongType("position", "a number or null");
        extra.position = position->get<double>();
    }
    extra.forgetsPlace = reader.boolean("forgetsPlace", false);
    if (const Json* depth = reader.member("hitDepth")) {
        if (!depth->is_number_integer() || depth->get<qint64>() < 0 || depth->get<qint64>() > maximumHitDepth)
            reader.wrongType("hitDepth", "a whole number from 0 to 8");
        extra.hitDepth = static_cast<int>(depth->get<qint64>());
    }
    reader.finish();
    return extra;
}

TrackedRowKind parseTrackedRow(ObjectReader& reader, bool hasBundle)
{
    const QString text =
        reader.string("trackedRow", hasBundle ? QStringLiteral("bundle") : QStringLiteral("adhocBinary"));
    if (text == QLatin1String("bundle")) {
        if (!hasBundle)
            reader.wrongValue("trackedRow", QStringLiteral("cannot be “bundle” for an app without bundleID"));
        return TrackedRowKind::Bundle;
    }
    if (text == QLatin1String("adhocBinary"))
        return TrackedRowKind::AdhocBinary;
    if (text == QLatin1String("none"))
        return TrackedRowKind::None;
    reader.wrongType("trackedRow", "“bundle”, “adhocBinary” or “none”");
}

ScenarioApp parseApp(const Json& object, int index)
{
    ObjectReader reader(object, QStringLiteral("apps[%1]").arg(index));
    ScenarioApp app;
    app.bundleID = reader.optionalName("bundleID");
    app.name = reader.string("name", {});
    if (app.name.isEmpty())
        reader.wrongType("name", "a non-empty string");
    if (const Json* pid = reader.member("pid")) {
        if (!pid->is_number_integer() || pid->get<qint64>() < 500 || pid->get<qint64>() > 99999)
            reader.wrongType("pid", "a whole number from 500 to 99999");
        app.pid = static_cast<qint32>(pid->get<qint64>());
    }
    app.executable =
        reader.string("executable", QStringLiteral("/Applications/%1.app/Contents/MacOS/%1").arg(app.name));
    if (!app.executable.startsWith(QLatin1Char('/')))
        reader.wrongValue("executable", QStringLiteral("must be an absolute path"));
    app.running = reader.boolean("running", true);
    if (!app.running && reader.member("launchAt"))
        reader.wrongValue("launchAt",
                          QStringLiteral("cannot start “%1”, which has “running”: false and never "
                                         "launches by itself")
                              .arg(app.name));
    app.launchAt = reader.nonNegative("launchAt", 0);
    app.axLatency = reader.nonNegative("axLatency", app.axLatency);
    app.axUnresponsive = reader.boolean("axUnresponsive", false);
    app.trackedRow = parseTrackedRow(reader, app.bundleID.has_value());
    if (const Json* extras = reader.array("extras")) {
        QSet<QString> names;
        for (int i = 0; i < static_cast<int>(extras->size()); ++i) {
            const QString where = QStringLiteral("%1.extras[%2]").arg(reader.where()).arg(i);
            ScenarioExtra extra = parseExtra((*extras)[static_cast<std::size_t>(i)], where, i);
            if (names.contains(extra.name))
                fail(
                    duplicateMessage.arg(where, QStringLiteral("name"), extra.name, QStringLiteral("extra")));
            names.insert(extra.name);
            app.extras.append(std::move(extra));
        }
    }
    reader.finish();
    return app;
}

// Pids and the names that key an app's preferences must be unique across the scenario.
void checkApps(QList<ScenarioApp>& apps)
{
    QSet<qint32> pids;
    QSet<QString> owners;
    for (int i = 0; i < apps.size(); ++i) {
        const QString where = QStringLiteral("apps[%1]").arg(i);
        const ScenarioApp& app = apps[i];
        if (app.pid != 0 && pids.contains(app.pid))
            fail(duplicateMessage.arg(where, QStringLiteral("pid"), QString::number(app.pid),
                                      QStringLiteral("app")));
        pids.insert(app.pid);
        const QString owner = app.bundleID.value_or(app.name);
        if (owners.contains(owner))
            fail(duplicateMessage.arg(where,
                                      app.bundleID ? QStringLiteral("bundleID") : QStringLiteral("name"),
                                      owner, QStringLiteral("app")));
        owners.insert(owner);
    }
    qint32 next = 501;
    for (ScenarioApp& app : apps) {
        if (app.pid != 0)
            continue;
        while (pids.contains(next))
            ++next;
        app.pid = next;
        pids.insert(next);
    }
}

} // namespace

Scenario Scenario::parse(const QByteArray& bytes)
{
    const Json document = json::parse(bytes);
    ObjectReader reader(document, scenarioName);
    Scenario scenario;
    if (const Json* system = reader.member("system"))
        scenario.system = parseSystem(*system);
    if (const Json* screens = reader.array("screens")) {
        if (screens->empty())
            reader.wrongValue("screens", QStringLiteral("must hold at least one screen"));
        scenario.screens = parseScreens(*screens);
    }
    scenario.separateSpaces = reader.boolean("separateSpaces", true);
    if (const Json* menuBar = reader.member("menuBar"))
        scenario.menuBar = parseMenuBar(*menuBar);
    if (const Json* loginItems = reader.member("loginItems"))
        scenario.loginItems = parseLoginItems(*loginItems);
    if (const Json* apps = reader.array("apps")) {
        for (int i = 0; i < static_cast<int>(apps->size()); ++i)
            scenario.apps.append(parseApp((*apps)[static_cast<std::size_t>(i)], i));
    }
    if (const Json* taken = reader.array("takenShortcuts")) {
        for (const Json& entry : *taken) {
            const auto combination = entry.is_string()
                                         ? platform::KeyCombination::parse(json::toQString(entry.get<std::string>()))
                                         : std::nullopt;
            if (!combination)
                reader.wrongValue("takenShortcuts",
                                  QStringLiteral("must hold key combinations such as “⌃⌥⌘K”"));
            scenario.takenShortcuts.append(*combination);
        }
    }
    reader.finish();
    checkApps(scenario.apps);
    return scenario;
}

ScenarioScreen ScenarioScreen::parse(const QByteArray& bytes, int index, const QString& where)
{
    return parseScreen(json::parse(bytes), index, where);
}

Scenario Scenario::load(const QString& path)
{
    return parse(RegularFile::read(path, maximumBytes));
}

} // namespace velmor::simulated_mac
