#include "harness/run_script.h"

#include "foundation/error.h"
#include "platform/key_combination.h"
#include "simulated_mac/scenario.h"
#include "tray/tray_arrangement_preferences.h"

#include <QHash>

#include <cmath>

namespace velmor {
namespace {

using Kind = ScriptCommand::Kind;

// Commands that take no argument.
const QHash<QString, Kind>& plainCommands()
{
    static const QHash<QString, Kind> commands{
        {QStringLiteral("apply"), Kind::Apply},
        {QStringLiteral("toggle"), Kind::Toggle},
        {QStringLiteral("reveal"), Kind::Reveal},
        {QStringLiteral("organize"), Kind::Organize},
        {QStringLiteral("restore-order"), Kind::RestoreOrder},
        {QStringLiteral("refresh"), Kind::Refresh},
        {QStringLiteral("kill"), Kind::Kill},
        {QStringLiteral("restart"), Kind::Restart},
        {QStringLiteral("print"), Kind::Print},
    };
    return commands;
}

bool onOff(const QString& word, int line)
{
    if (word == QLatin1String("on"))
        return true;
    if (word == QLatin1String("off"))
        return false;
    throw ScriptError(line, QStringLiteral("expected on or off, not “%1”").arg(word));
}

void expectCount(const QStringList& words, int count, int line, const char* usage)
{
    if (words.size() != count)
        throw ScriptError(line, QStringLiteral("usage: %1").arg(QString::fromUtf8(usage)));
}

int displayIndex(const QString& word, int line)
{
    bool ok = false;
    const int index = word.toInt(&ok);
    if (!ok || index < 0)
        throw ScriptError(line, QStringLiteral("“%1” is not a display's index").arg(word));
    return index;
}

double coordinate(const QString& word, int line)
{
    bool ok = false;
    const double value = word.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throw ScriptError(line, QStringLiteral("“%1” is not a coordinate").arg(word));
    return value;
}

// The text after the first `count` words of a line, as written.
QString rest(const QString& line, int count)
{
    qsizetype at = 0;
    for (int word = 0; word < count; ++word) {
        while (at < line.size() && line[at].isSpace())
            ++at;
        while (at < line.size() && !line[at].isSpace())
            ++at;
    }
    return line.mid(at).trimmed();
}

ScriptCommand command(QStringList words, const QString& text, int line)
{
    ScriptCommand result;
    result.line = line;
    const QString& verb = words.first();
    if (const auto plain = plainCommands().constFind(verb); plain != plainCommands().cend()) {
        expectCount(words, 1, line, qPrintable(verb));
        result.kind = *plain;
        return result;
    }
    if (verb == QLatin1String("wait")) {
        expectCount(words, 2, line, "wait SECONDS");
        bool ok = false;
        result.seconds = words[1].toDouble(&ok);
        if (!ok || !std::isfinite(result.seconds) || result.seconds < 0)
            throw ScriptError(line, QStringLiteral("“%1” is not a number of seconds").arg(words[1]));
        result.kind = Kind::Wait;
        return result;
    }
    if (verb == QLatin1String("click")) {
        // A click on another display's menu bar: "… on N".
        if (words.size() >= 4 && words[words.size() - 2] == QLatin1String("on")) {
            result.display = displayIndex(words.last(), line);
            words.resize(words.size() - 2);
        }
        if (words.size() == 3 && words[1] == QLatin1String("group")) {
            result.kind = Kind::ClickGroup;
            result.arguments = {words[2]};
            return result;
        }
        expectCount(words, 2, line, "click chevron|marker [on N], or click group \"NAME\" [on N]");
        if (words[1] == QLatin1String("chevron"))
            result.kind = Kind::ClickChevron;
        else if (words[1] == QLatin1String("marker"))
            result.kind = Kind::ClickMarker;
        else
            throw ScriptError(line, QStringLiteral("can only click chevron, marker or group \"NAME\""));
        return result;
    }
    if (verb == QLatin1String("rightclick")) {
        if (words.size() != 2 || words[1] != QLatin1String("chevron"))
            throw ScriptError(line, QStringLiteral("usage: rightclick chevron"));
        result.kind = Kind::RightClickChevron;
        return result;
    }
    if (verb == QLatin1String("menu")) {
        expectCount(words, 2, line, "menu \"TITLE\"");
        result.kind = Kind::Menu;
        result.arguments = {words[1]};
        return result;
    }
    if (verb == QLatin1String("window")) {
        if (words.size() == 2 && words[1] == QLatin1String("open"))
            result.kind = Kind::WindowOpen;
        else if (words.size() == 2 && words[1] == QLatin1String("close"))
            result.kind = Kind::WindowClose;
        else
            throw ScriptError(line, QStringLiteral("usage: window open|close"));
        return result;
    }
    if (verb == QLatin1String("group")) {
        const QString action = words.value(1);
        if (action == QLatin1String("add")) {
            expectCount(words, 4, line, "group add \"NAME\" SYMBOL");
            result.kind = Kind::GroupAdd;
        } else if (action == QLatin1String("rename")) {
            expectCount(words, 4, line, "group rename \"OLD\" \"NEW\"");
            result.kind = Kind::GroupRename;
        } else if (action == QLatin1String("delete")) {
            expectCount(words, 3, line, "group delete \"NAME\"");
            result.kind = Kind::GroupDelete;
        } else if (action == QLatin1String("toggle")) {
            expectCount(words, 3, line, "group toggle \"NAME\"");
            result.kind = Kind::GroupToggle;
        } else {
            throw ScriptError(line, QStringLiteral("usage: group add|rename|delete|toggle …"));
        }
        result.arguments = words.mid(2);
        return result;
    }
    if (verb == QLatin1String("move")) {
        expectCount(words, 3, line, "move BUNDLE DEST");
        result.kind = Kind::Move;
        result.arguments = words.mid(1);
        return result;
    }
    if (verb == QLatin1String("cmd-drag")) {
        expectCount(words, 4, line, "cmd-drag WHAT left-of|right-of TARGET");
        if (words[2] != QLatin1String("left-of") && words[2] != QLatin1String("right-of"))
            throw ScriptError(line, QStringLiteral("expected left-of or right-of, not “%1”").arg(words[2]));
        result.kind = Kind::CommandDrag;
        result.flag = words[2] == QLatin1String("right-of");
        result.arguments = {words[1], words[3]};
        return result;
    }
    if (verb == QLatin1String("launch") || verb == QLatin1String("quit")) {
        expectCount(words, 2, line, verb == QLatin1String("launch") ? "launch BUNDLE" : "quit BUNDLE");
        result.kind = verb == QLatin1String("launch") ? Kind::Launch : Kind::Quit;
        result.arguments = {words[1]};
        return result;
    }
    if (verb == QLatin1String("trust") || verb == QLatin1String("fda")) {
        expectCount(words, 2, line, verb == QLatin1String("trust") ? "trust on|off" : "fda on|off");
        result.kind = verb == QLatin1String("trust") ? Kind::Trust : Kind::FullDiskAccess;
        result.flag = onOff(words[1], line);
        return result;
    }
    if (verb == QLatin1String("display")) {
        if (words.value(1) == QLatin1String("add")) {
            // The rest of the line is one screen object, as in a scenario; checked now, so a
            // mistake names its line before anything runs.
            const QString screen = rest(text, 2);
            if (screen.isEmpty())
                throw ScriptError(line, QStringLiteral("usage: display add {SCREEN}"));
            try {
                simulated_mac::ScenarioScreen::parse(screen.toUtf8(), 1, QStringLiteral("display add"));
            } catch (const Error& error) {
                throw ScriptError(line, error.description());
            }
            result.kind = Kind::DisplayAdd;
            result.arguments = {screen};
            return result;
        }
        expectCount(words, 3, line, "display remove|main INDEX, or display add {SCREEN}");
        result.index = displayIndex(words[2], line);
        if (words[1] == QLatin1String("remove"))
            result.kind = Kind::DisplayRemove;
        else if (words[1] == QLatin1String("main"))
            result.kind = Kind::DisplayMain;
        else
            throw ScriptError(line,
                              QStringLiteral("usage: display remove|main INDEX, or display add {SCREEN}"));
        return result;
    }
    if (verb == QLatin1String("below-bar")) {
        const QString action = words.value(1);
        if (action == QLatin1String("show") || action == QLatin1String("close")) {
            expectCount(words, 2, line, "below-bar show|close");
            result.kind = action == QLatin1String("show") ? Kind::BelowBarShow : Kind::BelowBarClose;
        } else if (action == QLatin1String("press")) {
            expectCount(words, 3, line, "below-bar press \"NAME\"");
            result.kind = Kind::BelowBarPress;
            result.arguments = {words[2]};
        } else if (action == QLatin1String("automatic") || action == QLatin1String("always") ||
                   action == QLatin1String("never")) {
            expectCount(words, 2, line, "below-bar automatic|always|never");
            result.kind = Kind::BelowBarMode;
            result.arguments = {action};
        } else {
            throw ScriptError(line, QStringLiteral("usage: below-bar show|close|automatic|always|never, or "
                                                   "below-bar press \"NAME\""));
        }
        return result;
    }
    if (verb == QLatin1String("pointer")) {
        expectCount(words, 3, line, "pointer X Y");
        result.kind = Kind::Pointer;
        result.x = coordinate(words[1], line);
        result.y = coordinate(words[2], line);
        return result;
    }
    if (verb == QLatin1String("activate")) {
        expectCount(words, 2, line, "activate BUNDLE");
        result.kind = Kind::Activate;
        result.arguments = {words[1]};
        return result;
    }
    if (verb == QLatin1String("press")) {
        expectCount(words, 2, line, "press KEYS (as the Mac writes them: ⌃⌥⌘H)");
        if (!platform::KeyCombination::parse(words[1]))
            throw ScriptError(line,
                              QStringLiteral("“%1” is not a key combination such as ⌃⌥⌘H").arg(words[1]));
        result.kind = Kind::Press;
        result.arguments = {words[1]};
        return result;
    }
    if (verb == QLatin1String("layout")) {
        if (words.size() == 2 && words[1] == QLatin1String("save")) {
            result.kind = Kind::LayoutSave;
        } else if (words.size() == 3 && words[1] == QLatin1String("delete")) {
            result.kind = Kind::LayoutDelete;
            result.arguments = {words[2]};
        } else {
            throw ScriptError(line, QStringLiteral("usage: layout save, or layout delete \"SETUP\""));
        }
        return result;
    }
    if (verb == QLatin1String("prefer")) {
        const QString what = words.value(1);
        if (what == QLatin1String("apply-at-start")) {
            expectCount(words, 3, line, "prefer apply-at-start on|off");
            result.kind = Kind::PreferApplyAtStart;
            result.flag = onOff(words[2], line);
            return result;
        }
        if (what == QLatin1String("new-apps")) {
            expectCount(words, 3, line, "prefer new-apps alwaysVisible|expandable|alwaysHidden");
            const auto section = traySectionFromRawValue(words[2]);
            if (!section || !TrayArrangementPreferences::offeredForNewApps(*section))
                throw ScriptError(line, QStringLiteral("new apps go to alwaysVisible, expandable or "
                                                       "alwaysHidden, not “%1”")
                                            .arg(words[2]));
            result.kind = Kind::PreferNewApps;
            result.arguments = {words[2]};
            return result;
        }
        throw ScriptError(line, QStringLiteral("usage: prefer apply-at-start on|off, or prefer new-apps SECTION"));
    }
    throw ScriptError(line, QStringLiteral("unknown command “%1”").arg(verb));
}

} // namespace

QStringList RunScript::words(const QString& line, int lineNumber)
{
    QStringList result;
    QString current;
    bool inWord = false;
    bool quoted = false;
    for (const QChar c : line) {
        if (c == u'"') {
            quoted = !quoted;
            inWord = true;
            continue;
        }
        if (!quoted && c.isSpace()) {
            if (inWord)
                result.append(current);
            current.clear();
            inWord = false;
            continue;
        }
        current.append(c);
        inWord = true;
    }
    if (quoted)
        throw ScriptError(lineNumber, QStringLiteral("a double quote is not closed"));
    if (inWord)
        result.append(current);
    return result;
}

QList<ScriptCommand> RunScript::parse(const QString& text)
{
    QList<ScriptCommand> commands;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        // A "#" starts a comment unless it stands inside a quoted name.
        bool quoted = false;
        for (int c = 0; c < line.size(); ++c) {
            if (line[c] == u'"')
                quoted = !quoted;
            else if (line[c] == u'#' && !quoted) {
                line.truncate(c);
                break;
            }
        }
        const QStringList words = RunScript::words(line, i + 1);
        if (words.isEmpty())
            continue;
        ScriptCommand parsed = command(words, line, i + 1);
        parsed.text = line.trimmed();
        commands.append(parsed);
    }
    return commands;
}

} // namespace velmor
