#include "simulated_mac/simulated_workspace.h"
#include "suite_ui/hub_fixture.h"
#include "suite_ui/support_settings_footer.h"

#include <QSignalSpy>

namespace velmor {
namespace {

class SupportSettingsFooterTest : public test::HubTest {
protected:
    simulated_mac::SimulatedWorkspace workspace{scheduler};
    std::unique_ptr<SupportSettingsFooter> footer;

    SupportSettingsFooter& makeFooter(bool configured = true, QVariantMap extra = {})
    {
        footer.reset();
        makeHub(configured, extra);
        footer = std::make_unique<SupportSettingsFooter>(hub.get(), host->mainBundle(), workspace);
        return *footer;
    }
};

TEST_F(SupportSettingsFooterTest, WithoutAConfigurationTheStoredChoicesShowButCannotChange)
{
    defaults.setValue(QStringLiteral("velmor.usageConsent.v1"), false);
    SupportSettingsFooter& view = makeFooter(false);
    EXPECT_FALSE(view.usageChecked());
    EXPECT_FALSE(view.usageEnabled());
    EXPECT_TRUE(view.cityChecked());
    EXPECT_FALSE(view.cityEnabled());

    QSignalSpy consent(&view, &SupportSettingsFooter::consentChanged);
    view.setUsageChecked(true);
    EXPECT_FALSE(hub->enabled());
    EXPECT_EQ(defaults.value(QStringLiteral("velmor.usageConsent.v1")), QVariant(false));
    EXPECT_EQ(consent.count(), 1) << "the checkbox reads the stored choice again";
    view.setCityChecked(false);
    EXPECT_TRUE(hub->locationEnabled());
    EXPECT_FALSE(hub->hasPendingOperations());

    EXPECT_FALSE(view.feedbackItems()->enabled()) << "no window system in this run";
}

TEST_F(SupportSettingsFooterTest, ThePrivacyLinkOpensOnlyAnHttpsAddressOfTheBuild)
{
    SupportSettingsFooter& view = makeFooter(
        true, {{QStringLiteral("VelmorPrivacyPolicyURL"), QStringLiteral("https://velmor.example/privacy")}});
    EXPECT_FALSE(view.privacyDetails());
    view.togglePrivacyDetails();
    EXPECT_TRUE(view.privacyDetails());
    EXPECT_TRUE(view.privacyPolicyAvailable());
    view.openPrivacyPolicy();
    EXPECT_EQ(workspace.openedUrls(), QList<QUrl>({QUrl(QStringLiteral("https://velmor.example/privacy"))}));

    for (const QVariant& address :
         {QVariant(QString()), QVariant(QStringLiteral("http://velmor.example/privacy")),
          QVariant(QStringLiteral("javascript:alert(1)")), QVariant(QStringLiteral("https:///privacy")),
          QVariant(42)}) {
        SupportSettingsFooter& without =
            makeFooter(true, {{QStringLiteral("VelmorPrivacyPolicyURL"), address}});
        EXPECT_FALSE(without.privacyPolicyAvailable()) << address.toString().toStdString();
        without.openPrivacyPolicy();
    }
    EXPECT_EQ(workspace.openedUrls().size(), 1);
}

} // namespace
} // namespace velmor
