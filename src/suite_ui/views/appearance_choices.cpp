#include "suite_ui/views/appearance_choices.h"

#include <array>

namespace velmor {
namespace {

struct Choice {
    const char* value;
    const char* title;
};

constexpr std::array<Choice, 3> choices = {{
    {AppTheme::systemAppearance, AppearanceChoices::systemTitle},
    {AppTheme::lightAppearance, AppearanceChoices::lightTitle},
    {AppTheme::darkAppearance, AppearanceChoices::darkTitle},
}};

} // namespace

QStringList AppearanceChoices::titles()
{
    QStringList result;
    for (const Choice& choice : choices)
        result.append(QString::fromUtf8(choice.title));
    return result;
}

int AppearanceChoices::indexOf(const QString& value)
{
    for (std::size_t index = 0; index < choices.size(); ++index) {
        // Compared exactly: the stored value is a key, not a word to interpret.
        if (value == QLatin1String(choices[index].value))
            return static_cast<int>(index);
    }
    return 0;
}

QString AppearanceChoices::valueAt(int index)
{
    if (index < 0 || index >= static_cast<int>(choices.size()))
        return {};
    return QString::fromLatin1(choices[static_cast<std::size_t>(index)].value);
}

} // namespace velmor
