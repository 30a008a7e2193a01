#include "suite_ui/support_settings_footer.h"

#include "platform/main_bundle.h"
#include "platform/workspace.h"
#include "suite_ui/velmor_signals.h"

namespace velmor {

SupportSettingsFooter::SupportSettingsFooter(VelmorSignals* hub, const platform::MainBundle& bundle,
                                             platform::Workspace& workspace, QObject* parent)
    : QObject(parent), m_hub(hub), m_workspace(workspace), m_feedbackItems(hub),
      m_privacyPolicy(privacyPolicyUrl(bundle))
{
    if (!hub)
        return;
    connect(hub, &VelmorSignals::enabledChanged, this, &SupportSettingsFooter::consentChanged);
    connect(hub, &VelmorSignals::locationEnabledChanged, this, &SupportSettingsFooter::consentChanged);
}

std::optional<QUrl> SupportSettingsFooter::privacyPolicyUrl(const platform::MainBundle& bundle)
{
    const auto text = bundle.infoString(QString::fromLatin1(privacyPolicyInfoKey));
    if (!text)
        return std::nullopt;
    const QUrl url(*text, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("https") || url.host().isEmpty())
        return std::nullopt;
    return url;
}

bool SupportSettingsFooter::usageChecked() const
{
    return m_hub && m_hub->enabled();
}

bool SupportSettingsFooter::usageEnabled() const
{
    return m_hub && m_hub->configured();
}

bool SupportSettingsFooter::cityChecked() const
{
    return m_hub && m_hub->locationEnabled();
}

bool SupportSettingsFooter::cityEnabled() const
{
    return usageEnabled() && m_hub->enabled();
}

void SupportSettingsFooter::setPrivacyDetails(bool shown)
{
    if (shown == m_privacyDetails)
        return;
    m_privacyDetails = shown;
    Q_EMIT privacyDetailsChanged();
}

void SupportSettingsFooter::setUsageChecked(bool checked)
{
    if (usageEnabled() && checked != m_hub->enabled())
        m_hub->setEnabled(checked);
    // A refused click leaves the checkbox showing the stored choice again.
    Q_EMIT consentChanged();
}

void SupportSettingsFooter::setCityChecked(bool checked)
{
    if (cityEnabled() && checked != m_hub->locationEnabled())
        m_hub->setLocationEnabled(checked);
    Q_EMIT consentChanged();
}

void SupportSettingsFooter::openPrivacyPolicy()
{
    if (m_privacyPolicy)
        m_workspace.openUrl(*m_privacyPolicy);
}

} // namespace velmor
