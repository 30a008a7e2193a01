import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.Controls
import Velmor.SuiteUi

// The "Startup" section: the launch-at-login switch, one explanatory line (and the way to System
// Settings while the system waits for approval), the progress line and the last failure.
SettingsSection {
    id: startup

    required property LaunchAtLoginSettingsPresenter presenter

    objectName: "startupSection"
    title: presenter.sectionTitle

    // The user comes back from System Settings: the window becomes active again.
    Binding {
        target: startup.presenter
        property: "sceneActive"
        value: startup.Window.active
    }

    RowLayout {
        Layout.fillWidth: true
        spacing: 8

        PlainLabel {
            text: startup.presenter.toggleTitle
            Layout.fillWidth: true
            Accessible.ignored: true
        }
        SuiteSwitch {
            id: toggle
            objectName: "launchAtLoginSwitch"
            checked: startup.presenter.toggleOn
            enabled: startup.presenter.toggleEnabled
            Accessible.name: startup.presenter.toggleTitle
            Accessible.description: startup.presenter.toggleHint
            ToolTip.text: startup.presenter.toggleHint
            ToolTip.visible: hovered
            ToolTip.delay: 800
            onToggled: {
                startup.presenter.toggle(checked)
                // The switch shows what the system reports, not the click.
                checked = Qt.binding(() => startup.presenter.toggleOn)
            }
        }
    }
    RowLayout {
        Layout.fillWidth: true
        spacing: 8

        PlainLabel {
            objectName: "startupExplanation"
            text: startup.presenter.explanation
            font.pixelSize: 11
            color: Appearance.secondaryText
            wrapMode: Text.WordWrap
            Layout.fillWidth: true
        }
        SuiteButton {
            objectName: "openLoginItemsButton"
            visible: startup.presenter.showsApprovalButton
            text: startup.presenter.approvalButtonTitle
            font.pixelSize: 11
            onClicked: startup.presenter.openLoginItemsSettings()
        }
    }
    RowLayout {
        objectName: "startupProgress"
        visible: startup.presenter.showsProgress
        spacing: 6

        BusyIndicator {
            running: startup.presenter.showsProgress
            implicitWidth: 16
            implicitHeight: 16
            Accessible.name: startup.presenter.progressText
        }
        PlainLabel {
            text: startup.presenter.progressText
            font.pixelSize: 11
            color: Appearance.secondaryText
        }
    }
    TextEdit {
        objectName: "startupError"
        visible: startup.presenter.showsError
        text: startup.presenter.errorText
        readOnly: true
        selectByMouse: true
        wrapMode: TextEdit.Wrap
        font.pixelSize: 11
        color: Appearance.critical
        selectionColor: Appearance.controlAccent
        Layout.fillWidth: true
        Accessible.role: Accessible.StaticText
        Accessible.name: text
    }
}
