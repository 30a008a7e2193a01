import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.Controls
import Velmor.SuiteUi

// The settings footer every suite app shares: the two feedback entries, the two consent
// checkboxes (disabled without a telemetry configuration, the city one also while usage is off,
// the stored choices shown either way) and the popover that explains what is shared.
ColumnLayout {
    id: footer

    required property SupportSettingsFooterPresenter presenter

    objectName: "supportSettingsFooter"
    spacing: 12

    RowLayout {
        spacing: 8

        SuiteButton {
            objectName: "sendFeedbackButton"
            text: footer.presenter.feedbackItems.sendFeedbackTitle
            enabled: footer.presenter.feedbackItems.enabled
            font.pixelSize: 12
            onClicked: footer.presenter.feedbackItems.sendFeedback()
        }
        SuiteButton {
            objectName: "reportBugButton"
            text: footer.presenter.feedbackItems.reportBugTitle
            enabled: footer.presenter.feedbackItems.enabled
            font.pixelSize: 12
            onClicked: footer.presenter.feedbackItems.reportBug()
        }
        Item {
            Layout.fillWidth: true
        }
    }

    RowLayout {
        spacing: 6

        ColumnLayout {
            spacing: 2
            Layout.alignment: Qt.AlignTop

            SuiteCheckBox {
                id: usage
                objectName: "usageCheckBox"
                text: footer.presenter.usageTitle
                checked: footer.presenter.usageChecked
                enabled: footer.presenter.usageEnabled
                font.pixelSize: 12
                padding: 2
                Accessible.name: text
                onToggled: {
                    footer.presenter.setUsageChecked(checked)
                    // The box shows the stored choice, whatever the click did.
                    checked = Qt.binding(() => footer.presenter.usageChecked)
                }
            }
            SuiteCheckBox {
                id: city
                objectName: "cityCheckBox"
                text: footer.presenter.cityTitle
                checked: footer.presenter.cityChecked
                enabled: footer.presenter.cityEnabled
                font.pixelSize: 12
                padding: 2
                Accessible.name: text
                onToggled: {
                    footer.presenter.setCityChecked(checked)
                    checked = Qt.binding(() => footer.presenter.cityChecked)
                }
            }
        }
        AbstractButton {
            id: info
            objectName: "privacyInfoButton"
            implicitWidth: 22
            implicitHeight: 22
            Layout.alignment: Qt.AlignTop
            focusPolicy: Qt.StrongFocus
            Accessible.role: Accessible.Button
            Accessible.name: footer.presenter.infoAccessibleName
            Accessible.onPressAction: footer.presenter.togglePrivacyDetails()
            onClicked: footer.presenter.togglePrivacyDetails()

            contentItem: SymbolIcon {
                symbol: "info.circle"
                size: 16
                color: Appearance.secondaryText
            }
            background: Rectangle {
                radius: 11
                color: "transparent"
                border.color: info.visualFocus ? Appearance.controlAccent : "transparent"
            }

            Popup {
                id: details
                objectName: "privacyPopover"
                x: (info.width - width) / 2
                width: 330
                margins: 8
                padding: 18
                // Presses on the button itself toggle the popover rather than close and reopen it.
                closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutsideParent
                // The keyboard moves into the popover: Tab reaches the link, Escape closes it.
                focus: true
                visible: footer.presenter.privacyDetails
                onClosed: footer.presenter.privacyDetails = false
                // Below the button where the window has room for it, else above: never over the
                // button or the choices it explains. Worked out when shown and as its text is laid
                // out.
                y: visible && info.mapToItem(null, 0, info.height).y + 6 + height + bottomMargin > info.Window.height
                   ? -height - 6 : info.height + 6

                background: Rectangle {
                    radius: 10
                    color: Appearance.controlBackground
                    border.color: Appearance.separator
                }
                contentItem: ColumnLayout {
                    spacing: 10
                    Accessible.role: Accessible.Dialog
                    Accessible.name: footer.presenter.privacyHeadline

                    PlainLabel {
                        text: footer.presenter.privacyHeadline
                        font.pixelSize: 13
                        font.weight: Font.DemiBold
                        Accessible.role: Accessible.Heading
                        Accessible.name: text
                    }
                    Repeater {
                        model: [footer.presenter.privacyDefaults, footer.presenter.privacyUsage,
                            footer.presenter.privacyCity]
                        delegate: PlainLabel {
                            required property string modelData
                            text: modelData
                            font.pixelSize: 12
                            wrapMode: Text.WordWrap
                            Layout.fillWidth: true
                        }
                    }
                    LinkButton {
                        objectName: "privacyPolicyLink"
                        visible: footer.presenter.privacyPolicyAvailable
                        text: footer.presenter.privacyPolicyTitle
                        onClicked: footer.presenter.openPrivacyPolicy()
                    }
                }
            }
        }
        Item {
            Layout.fillWidth: true
        }
    }
}
