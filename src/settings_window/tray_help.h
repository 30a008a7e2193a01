#pragma once

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace velmor {

// The organizer's three help topics; each opens a popover with a headline and a short text.
enum class TrayHelp { grouping, ordering, icons };

inline constexpr std::array<TrayHelp, 3> kAllTrayHelpTopics = {TrayHelp::grouping, TrayHelp::ordering,
                                                               TrayHelp::icons};

QString rawValue(TrayHelp topic);
std::optional<TrayHelp> trayHelpFromRawValue(QStringView rawValue);
QString helpTitle(TrayHelp topic);
QString helpText(TrayHelp topic);

} // namespace velmor
