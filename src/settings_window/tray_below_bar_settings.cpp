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
    connect(&model, &TrayModel::ownItemsChanged, this, &TrayBelowBarSettings::changed);
}

QString TrayBelowBarSettings::ownNoticeText() const
{
    return m_model ? m_model->ownItemsNotice() : QString();
}

QString TrayBelowBarSettings::ownOfferTitle() const
{
    return m_model ? m_model->ownItemsOffer() : QString();
}

void TrayBelowBarSettings::acceptOwnOffer()
{
    if (m_model && m_model->hooks().makeRoomForChevron)
        m_model->hooks().makeRoomForChevron();
}

QString TrayBelowBarSettings::notice(const TrayOutOfSight& outOfSight)
{
    const auto count = outOfSight.items.size();
    if (count == 0)
        return {};
    // "A", "A and B", "A, B and C": every app whose icons the count counts.
    QStringList apps = outOfSight.appNames();
    const QString last = apps.takeLast();
    const QString names = apps.isEmpty() ? last
                                         : apps.join(QString::fromUtf8(nameSeparator)) +
                                               QString::fromUtf8(lastNameSeparator) + last;
    const TrayOutOfSight::Reason reason = outOfSight.items.first().reason;
    const bool oneReason = std::all_of(outOfSight.items.cbegin(), outOfSight.items.cend(),
                                       [&](const auto& item) { return item.reason == reason; });
    if (!oneReason)
        return QString::fromUtf8(mixedNotice).arg(count).arg(names);
    const char* one = housingNoticeOne;
    const char* many = housingNoticeMany;
    if (reason == TrayOutOfSight::Reason::UnderMenus) {
        one = menusNoticeOne;
        many = menusNoticeMany;
    } else if (reason == TrayOutOfSight::Reason::OffBarEnd) {
        one = offEndNoticeOne;
        many = offEndNoticeMany;
    }
    return count == 1 ? QString::fromUtf8(one).arg(names) : QString::fromUtf8(many).arg(count).arg(names);
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
    switch (*reason) {
    case TrayOutOfSight::Reason::BehindHousing:
        return QString::fromUtf8(housingStatus);
    case TrayOutOfSight::Reason::UnderMenus:
        return QString::fromUtf8(menusStatus);
    case TrayOutOfSight::Reason::OffBarEnd:
        break;
    }
    return QString::fromUtf8(offEndStatus);
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
