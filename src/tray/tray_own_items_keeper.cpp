#include "tray/tray_own_items_keeper.h"

#include "foundation/uuid_text.h"
#include "platform/screens.h"
#include "platform/services.h"
#include "platform/status_bar.h"
#include "tray/native_tray_controller.h"
#include "tray/tray_model.h"
#include "tray/tray_out_of_sight.h"

#include <algorithm>
#include <limits>

namespace velmor {
namespace {

QString sentence(const char* literal)
{
    return QString::fromUtf8(literal);
}

QString rectText(const QRectF& rect)
{
    return QStringLiteral("%1,%2,%3,%4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height());
}

} // namespace

TrayOwnItemsKeeper::TrayOwnItemsKeeper(const platform::Services& services, TrayModel& model,
                                       NativeTrayController& controller, QObject* parent)
    : QObject(parent), m_services(services), m_model(&model), m_controller(&controller)
{}

std::optional<TrayOwnItemsKeeper::Look> TrayOwnItemsKeeper::look() const
{
    if (!m_model || !m_controller || !m_services.screens)
        return std::nullopt;
    platform::StatusItem* chevron = m_controller->chevronItem();
    const auto chevronFrame = chevron ? chevron->buttonWindowFrame() : std::nullopt;
    const QList<QRectF> screens = m_services.screens->frames();
    if (!chevronFrame || screens.isEmpty())
        return std::nullopt;
    const QList<platform::ScreenTopArea> tops = m_services.screens->topAreas();
    // The bar in use is the one the chevron's window lies on.
    const int display = TrayOutOfSight::displayOf(*chevronFrame, screens);
    const QRectF& screen = screens[display];
    std::optional<double> menusWidth;
    if (const auto end = m_model->menusEnd())
        menusWidth = std::max(*end - screen.left(), 0.0);

    QList<std::pair<QString, platform::StatusItem*>> own{{QStringLiteral("chevron"), chevron}};
    if (m_controller->perAppMode()) {
        for (const TrayNamedGroup& group : m_model->namedGrouping().groups)
            own.append({uuid_text::canonical(group.id), m_controller->groupItem(group.id)});
    }
    Look result;
    QStringList seen;
    for (const auto& [name, item] : own) {
        const auto frame = item && item->isVisible() ? item->buttonWindowFrame() : std::nullopt;
        if (!frame)
            continue;
        seen.append(name + QLatin1Char('@') + rectText(*frame));
        if (TrayOutOfSight::reason(*frame, screen, tops.value(display), menusWidth))
            result.lost.append(name);
    }
    for (const QRectF& each : screens)
        seen.append(rectText(each));
    result.signature = seen.join(QLatin1Char(';'));

    if (!m_controller->perAppMode() && result.lost.contains(QStringLiteral("chevron"))) {
        // Right of the chevron lie the always visible icons; the nearest one can make room.
        double nearest = std::numeric_limits<double>::infinity();
        for (const TrayItem& item : m_model->items()) {
            const auto frame = m_model->itemFrames().constFind(item.id);
            if (frame == m_model->itemFrames().cend())
                continue;
            // Accessibility and screen coordinates share x.
            if (frame->left() >= chevronFrame->right() - 0.5 && frame->left() < nearest) {
                nearest = frame->left();
                result.nearestApp = item.appName;
            }
        }
    }
    return result;
}

void TrayOwnItemsKeeper::check()
{
    if (m_moving || !m_controller || m_controller->busy())
        return;
    const auto seen = look();
    if (!seen)
        return;
    if (seen->lost.isEmpty()) {
        m_tried.clear();
        setNotice({}, {});
        return;
    }
    if (!m_controller->perAppMode()) {
        setNotice(seen->nearestApp.isEmpty() ? sentence(unreachableNotice)
                                             : sentence(crowdedNotice).arg(seen->nearestApp),
                  seen->nearestApp);
        return;
    }
    if (seen->signature == m_tried) {
        // Moved once already for exactly this; the bar has no room for the app's items.
        setNotice(sentence(unreachableNotice), {});
        return;
    }
    m_tried = seen->signature;
    m_moving = true;
    QPointer<TrayOwnItemsKeeper> self(this);
    const auto failed = m_controller->placeOwnItemsAtRightEnd([self] {
        if (!self)
            return;
        self->m_moving = false;
        self->check();
    });
    if (failed) {
        m_moving = false;
        setNotice(sentence(unreachableNotice), {});
    }
}

QString TrayOwnItemsKeeper::offerTitle() const
{
    return m_offerApp.isEmpty() ? QString() : sentence(makeRoomAction).arg(m_offerApp);
}

bool TrayOwnItemsKeeper::acceptOffer()
{
    if (m_offerApp.isEmpty() || !m_controller || m_controller->busy() || m_moving)
        return false;
    m_moving = true;
    QPointer<TrayOwnItemsKeeper> self(this);
    const auto failed = m_controller->placeChevronRightOf(QString(), [self] {
        if (!self)
            return;
        self->m_moving = false;
        if (self->m_model)
            self->m_model->refresh();
        self->check();
    });
    if (failed) {
        m_moving = false;
        setNotice(*failed, {});
        return false;
    }
    return true;
}

void TrayOwnItemsKeeper::setNotice(const QString& notice, const QString& offerApp)
{
    if (notice == m_notice && offerApp == m_offerApp)
        return;
    m_notice = notice;
    m_offerApp = offerApp;
    if (m_model)
        m_model->setOwnItems(m_notice, offerTitle());
    Q_EMIT changed();
}

} // namespace velmor
