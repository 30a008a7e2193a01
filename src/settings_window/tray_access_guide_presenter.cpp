#include "settings_window/tray_access_guide_presenter.h"

#include "platform/workspace.h"

namespace velmor {
namespace {

QUrl fileUrl(const QString& location)
{
    const QUrl url(location);
    if (url.isLocalFile())
        return url;
    return QUrl::fromLocalFile(location);
}

} // namespace

TrayAccessGuidePresenter::TrayAccessGuidePresenter(platform::Workspace* workspace, const QString& bundleUrl,
                                                   Actions actions, QObject* parent)
    : QObject(parent), m_workspace(workspace), m_bundleUrl(fileUrl(bundleUrl)), m_actions(std::move(actions))
{}

void TrayAccessGuidePresenter::setOpen(bool open)
{
    if (m_open == open)
        return;
    m_open = open;
    Q_EMIT openChanged();
}

void TrayAccessGuidePresenter::setRequiresFullDiskAccess(bool required)
{
    if (m_requiresFullDiskAccess == required)
        return;
    m_requiresFullDiskAccess = required;
    Q_EMIT changed();
}

QString TrayAccessGuidePresenter::subtitle() const
{
    return QString::fromUtf8(m_requiresFullDiskAccess ? bothSubtitle : accessibilitySubtitle);
}

QString TrayAccessGuidePresenter::lastStepNumber() const
{
    return QString::number(m_requiresFullDiskAccess ? 3 : 2);
}

QString TrayAccessGuidePresenter::lastStepTitle() const
{
    return QString::fromUtf8(m_requiresFullDiskAccess ? switchStepTitle : refreshStepTitle);
}

QString TrayAccessGuidePresenter::lastStepCaption() const
{
    return QString::fromUtf8(m_requiresFullDiskAccess ? switchStepCaption : refreshStepCaption);
}

void TrayAccessGuidePresenter::requestAccessibility()
{
    if (m_actions.requestAccessibility)
        m_actions.requestAccessibility();
}

void TrayAccessGuidePresenter::openFullDiskAccess()
{
    const QUrl url(QString::fromLatin1(fullDiskAccessUrl));
    if (m_workspace && url.isValid())
        m_workspace->openUrl(url);
}

void TrayAccessGuidePresenter::showInFinder()
{
    if (m_workspace && m_bundleUrl.isLocalFile())
        m_workspace->revealInFileBrowser(m_bundleUrl.toLocalFile());
}

void TrayAccessGuidePresenter::refresh()
{
    if (m_actions.refresh)
        m_actions.refresh();
}

} // namespace velmor
