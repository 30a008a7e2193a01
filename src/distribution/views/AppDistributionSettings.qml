import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.Controls
import Velmor.SuiteUi
import Velmor.Distribution

// The content of the "Update Settings" window: the Startup section, the "Updates" section and
// the support footer, in a grouped form.
ColumnLayout {
    id: settings

    required property AppDistributionSettingsPresenter presenter

    objectName: "appDistributionSettings"
    spacing: 18

    LaunchAtLoginSettings {
        presenter: settings.presenter.startupSection as LaunchAtLoginSettingsPresenter
        Layout.fillWidth: true
    }

    SettingsSection {
        objectName: "updatesSection"
        title: settings.presenter.updatesHeader
        Layout.fillWidth: true

        SwitchRow {
            objectName: "automaticChecksSwitch"
            text: settings.presenter.automaticChecksTitle
            on: settings.presenter.automaticChecks
            enabled: settings.presenter.automaticChecksEnabled
            onToggled: checked => settings.presenter.setAutomaticChecks(checked)
        }
        SwitchRow {
            objectName: "automaticDownloadsSwitch"
            text: settings.presenter.automaticDownloadsTitle
            on: settings.presenter.automaticDownloads
            enabled: settings.presenter.automaticDownloadsEnabled
            onToggled: checked => settings.presenter.setAutomaticDownloads(checked)
        }
        SuiteButton {
            objectName: "checkForUpdatesButton"
            text: settings.presenter.checkTitle
            enabled: settings.presenter.checkEnabled
            onClicked: settings.presenter.check()
        }
        PlainLabel {
            objectName: "updateMessage"
            text: settings.presenter.message
            font.pixelSize: 11
            color: Appearance.secondaryText
            wrapMode: Text.WordWrap
            Layout.fillWidth: true
        }
        SuiteButton {
            objectName: "closeSessionsButton"
            visible: settings.presenter.closeSessionsShown
            text: settings.presenter.closeSessionsTitle
            onClicked: settings.presenter.closeSessionsAndUpdate()
        }
        SuiteButton {
            objectName: "pendingWorkButton"
            visible: settings.presenter.pendingWorkShown
            text: settings.presenter.pendingWorkTitle
            onClicked: settings.presenter.resolvePendingWork()
        }
        PlainLabel {
            text: settings.presenter.note
            font.pixelSize: 11
            color: Appearance.secondaryText
            wrapMode: Text.WordWrap
            Layout.fillWidth: true
        }
    }

    SettingsSection {
        Layout.fillWidth: true

        SupportSettingsFooter {
            presenter: settings.presenter.footer as SupportSettingsFooterPresenter
            Layout.fillWidth: true
        }
    }
}
