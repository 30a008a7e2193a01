#include "settings_window/tray_status_block.h"

#include "platform/application_shell.h"
#include "platform/host.h"
#include "platform/services.h"
#include "settings_window/tray_brand_icon_resource.h"
#include "settings_window/tray_help.h"
#include "tray/tray_model.h"

#include <functional>

namespace velmor {
namespace {

QString statusWords(const char* value)
{
    return QString::fromUtf8(value);
}

void callHook(const std::function<void()>& hook)
{
    if (hook)
        hook();
}

} // namespace

TrayStatusBlock::TrayStatusBlock(TrayModel& model, const platform::Services& services, QObject* parent)
    : QObject(parent), m_model(&model), m_services(services),
      m_brandIconSource(services.host ? TrayBrandIconResource::imageUrl(services.host->mainBundle().url())
                                      : QUrl())
{
    m_shown = current();
}

QString TrayStatusBlock::helpLabel() const
{
    return velmor::helpTitle(TrayHelp::grouping);
}

bool TrayStatusBlock::showsSetupCard() const
{
    return m_model && !m_model->permission();
}

bool TrayStatusBlock::groupingActive() const
{
    return m_model && m_model->nativeConfigured();
}

bool TrayStatusBlock::busy() const
{
    return m_model && m_model->nativeBusy();
}

QString TrayStatusBlock::statusText() const
{
    if (busy())
        return statusWords(applyingStatus);
    return statusWords(groupingActive() ? activeStatus : inactiveStatus);
}

bool TrayStatusBlock::orderEnabled() const
{
    return m_model && m_model->permission() && !busy();
}

QString TrayStatusBlock::primaryTitle() const
{
    if (!groupingActive())
        return statusWords(applyText);
    return statusWords(m_model->nativeExpanded() ? collapseExtrasText : expandExtrasText);
}

void TrayStatusBlock::organizeAutomatically()
{
    if (m_model && orderEnabled())
        callHook(m_model->hooks().organizeAutomatically);
}

void TrayStatusBlock::restorePreviousOrder()
{
    if (m_model && orderEnabled())
        callHook(m_model->hooks().restorePreviousOrder);
}

void TrayStatusBlock::revealAll()
{
    if (m_model && revealEnabled())
        callHook(m_model->hooks().revealNative);
}

void TrayStatusBlock::primaryAction()
{
    if (!m_model || !primaryEnabled())
        return;
    callHook(m_model->nativeConfigured() ? m_model->hooks().toggleNative : m_model->hooks().arrangeNative);
}

void TrayStatusBlock::quit()
{
    if (m_services.applicationShell)
        m_services.applicationShell->terminate();
}

TrayStatusBlock::Shown TrayStatusBlock::current() const
{
    return {showsSetupCard(), groupingActive(), statusText(), orderEnabled(), primaryTitle(), busy()};
}

void TrayStatusBlock::update()
{
    const Shown before = m_shown;
    m_shown = current();
    if (before.showsSetupCard != m_shown.showsSetupCard)
        Q_EMIT permissionChanged();
    if (!before.sameController(m_shown))
        Q_EMIT controllerChanged();
}

} // namespace velmor
