#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <stdexcept>

namespace velmor {

// One line of a headless run's script: what a person (or the system) does next.
struct ScriptCommand {
    enum class Kind {
        Wait,
        ClickChevron,
        ClickMarker,
        RightClickChevron,
        Menu,
        ClickGroup,
        Apply,
        Toggle,
        Reveal,
        Organize,
        RestoreOrder,
        Refresh,
        WindowOpen,
        WindowClose,
        GroupAdd,
        GroupRename,
        GroupDelete,
        GroupToggle,
        Move,
        CommandDrag,
        Launch,
        Quit,
        Trust,
        FullDiskAccess,
        Kill,
        Restart,
        Print,
        DisplayRemove,
        DisplayMain,
        DisplayAdd,
        Pointer,
        Activate,
        BelowBarShow,
        BelowBarPress,
        BelowBarClose,
        BelowBarMode,
        Press,
        LayoutSave,
        LayoutDelete,
        PreferApplyAtStart,
        PreferNewApps,
    };

    Kind kind = Kind::Print;
    int line = 0;
    // The line as written, without its comment.
    QString text;
    // Names, bundle identifiers, destinations and targets, unquoted, in the order written.
    QStringList arguments;
    double seconds = 0;
    // display remove|main: the display's index among the screens.
    int index = 0;
    // click …  on N: the display whose menu bar is clicked; absent for the bar in use.
    std::optional<int> display;
    // pointer X Y: screen coordinates.
    double x = 0;
    double y = 0;
    // trust/fda on, cmd-drag right-of, and prefer apply-at-start on.
    bool flag = false;
};

// A script line that cannot be run: the message names the line.
class ScriptError final : public std::runtime_error {
public:
    ScriptError(int line, const QString& message)
        : std::runtime_error(QStringLiteral("line %1: %2").arg(line).arg(message).toStdString()), m_line(line)
    {}
    int line() const { return m_line; }

private:
    int m_line;
};

// The script language of the headless runner (documented in docs/scenarios.md): one command per
// line, "#" starts a comment, names with spaces in double quotes.
class RunScript final {
public:
    // A script file larger than this is refused unread.
    static constexpr qint64 maximumBytes = 1024 * 1024;

    // Throws ScriptError for an unknown command or a bad argument.
    static QList<ScriptCommand> parse(const QString& text);

    // The words of a line: blanks separate them, double quotes group them (also inside a word,
    // as in group:"My Apps"), and the quotes themselves are dropped. Throws ScriptError for an
    // unterminated quote.
    static QStringList words(const QString& line, int lineNumber);

    RunScript() = delete;
};

} // namespace velmor
