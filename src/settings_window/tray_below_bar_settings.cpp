#include "settings_window/tray_below_bar_settings.h"

#include "tray/tray_below_bar_preference.h"
#include "tray/tray_model.h"

#include <algorithm>

namespace velmor {
namespace {

using Mode = TrayBelowBarPreference::Mode;
constexpr Mode modes[] = {Mode::Automatic, Mode::Always, Mode::Never};

} // namespace

TrayBelowBarSettings::TrayBelowBarSettings(TrayModel& model, platform::UserDefaults& defaults,
                                           QObject* parent)
    : QObject(parent), m_model(&model), m_defaults(defaults)
{
    connect(&model, &TrayModel::outOfSightChanged, this, &TrayBelowBarSettings::changed);
}

QString TrayBelowBarSettings::notice(const TrayOutOfSight& outOfSight)
{
    const auto count = outOfSight.items.size();
    if (count == 0)
        return {};
    const QString names = outOfSight.appNames().join(QString::fromUtf8(nameSeparator));
    const auto behind =
        std::count_if(outOfSight.items.cbegin(), outOfSight.items.cend(),
                      [](const auto& item) { return item.reason == TrayOutOfSight::Reason::BehindHousing; });
    if (behind == count)
        return count == 1 ? QString::fromUtf8(housingNoticeOne).arg(names)
                          : QString::fromUtf8(housingNoticeMany).arg(count).arg(names);
    if (behind == 0)
        return count == 1 ? QString::fromUtf8(offEndNoticeOne).arg(names)
                          : QString::fromUtf8(offEndNoticeMany).arg(count).arg(names);
    return QString::fromUtf8(mixedNotice).arg(count).arg(names);
}

QString TrayBelowBarSettings::noticeText() const
{
    return m_model ? notice(m_model->outOfSight()) : QString();
}

QString TrayBelowBarSettings::cardStatus(const TrayOutOfSight& outOfSight, const QString& bundleID)
{
    const auto reason = outOfSight.reasonFor(bundleID);
    if (!reason)
        return {};
    return QString::fromUtf8(*reason == TrayOutOfSight::Reason::BehindHousing ? housingStatus : offEndStatus);
}

QStringList TrayBelowBarSettings::modeTitles() const
{
    return {QString::fromUtf8(automaticText), QString::fromUtf8(alwaysText), QString::fromUtf8(neverText)};
}

int TrayBelowBarSettings::modeIndex() const
{
    const Mode mode = TrayBelowBarPreference::load(m_defaults);
    return static_cast<int>(std::find(std::begin(modes), std::end(modes), mode) - std::begin(modes));
}

void TrayBelowBarSettings::setModeIndex(int index)
{
    if (index < 0 || index >= static_cast<int>(std::size(modes)) || index == modeIndex())
        return;
    TrayBelowBarPreference::save(m_defaults, modes[index]);
    Q_EMIT changed();
}

void TrayBelowBarSettings::showBelowBar()
{
    if (m_model && m_model->hooks().showBelowBar)
        m_model->hooks().showBelowBar();
}

} // namespace velmor
