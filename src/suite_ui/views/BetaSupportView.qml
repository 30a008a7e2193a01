import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.Controls
import Velmor.SuiteUi

// The feedback form, item by item: the app's name, the report type, the prompt, the editor with
// its counter, the details sent along, the note, copying and sending, and what became of it.
ColumnLayout {
    id: form

    required property BetaSupportViewPresenter presenter
    property bool detailsShown: false

    objectName: "betaSupportView"
    spacing: 14

    PlainLabel {
        objectName: "feedbackAppName"
        text: form.presenter.appName
        font.pixelSize: 17
        font.weight: Font.DemiBold
        Accessible.role: Accessible.Heading
        Accessible.name: text
    }
    SegmentedPicker {
        objectName: "reportTypePicker"
        titles: [form.presenter.feedbackSegmentTitle, form.presenter.bugSegmentTitle]
        currentIndex: form.presenter.bug ? 1 : 0
        enabled: form.presenter.editable
        Accessible.name: form.presenter.reportTypeLabel
        onActivated: index => form.presenter.bug = index === 1
    }
    PlainLabel {
        objectName: "feedbackPrompt"
        text: form.presenter.prompt
        font.pixelSize: 12
        color: Appearance.secondaryText
        wrapMode: Text.WordWrap
        Layout.fillWidth: true
    }
    ScrollView {
        id: editorScroll
        Layout.fillWidth: true
        Layout.preferredHeight: 160
        enabled: form.presenter.editable
        background: Rectangle {
            radius: 6
            color: Appearance.controlBackground
            border.width: 1
            readonly property color line: Appearance.secondaryText
            border.color: Qt.rgba(line.r, line.g, line.b, editor.activeFocus ? 0.6 : 0.2)
        }

        TextArea {
            id: editor
            objectName: "feedbackEditor"
            text: form.presenter.message
            font.pixelSize: 13
            wrapMode: TextEdit.Wrap
            background: null
            Accessible.name: form.presenter.messageAccessibleName
            onTextChanged: form.presenter.message = text
        }
    }
    PlainLabel {
        objectName: "feedbackCounter"
        text: form.presenter.counterText
        font.pixelSize: 11
        color: Appearance.secondaryText
        Layout.topMargin: -8
    }
    ColumnLayout {
        spacing: 0
        Layout.fillWidth: true

        SuiteToolButton {
            id: disclosure
            objectName: "detailsDisclosure"
            text: form.presenter.detailsTitle
            padding: 0
            Accessible.role: Accessible.Button
            Accessible.description: form.detailsShown ? form.presenter.details : ""
            onClicked: form.detailsShown = !form.detailsShown
            background: Rectangle {
                radius: 4
                color: "transparent"
                border.width: disclosure.visualFocus ? 2 : 0
                border.color: Appearance.controlAccent
            }

            contentItem: Row {
                spacing: 4
                SymbolIcon {
                    symbol: "chevron.right"
                    size: 14
                    rotation: form.detailsShown ? 90 : 0
                    color: Appearance.secondaryText
                    anchors.verticalCenter: parent.verticalCenter
                }
                PlainText {
                    text: disclosure.text
                    font.pixelSize: 12
                    color: Appearance.text
                    anchors.verticalCenter: parent.verticalCenter
                }
            }
        }
        TextEdit {
            objectName: "feedbackDetails"
            visible: form.detailsShown
            text: form.presenter.details
            readOnly: true
            selectByMouse: true
            font.family: "DejaVu Sans Mono"
            font.pixelSize: 11
            color: Appearance.secondaryText
            selectionColor: Appearance.controlAccent
            Layout.topMargin: 6
            Layout.leftMargin: 18
            Layout.fillWidth: true
            Accessible.role: Accessible.StaticText
            Accessible.name: text
        }
    }
    PlainLabel {
        text: form.presenter.note
        font.pixelSize: 12
        color: Appearance.secondaryText
        wrapMode: Text.WordWrap
        Layout.fillWidth: true
    }
    RowLayout {
        Layout.fillWidth: true

        SuiteButton {
            objectName: "copyReportButton"
            text: form.presenter.copyTitle
            onClicked: form.presenter.copyReport()
        }
        Item {
            Layout.fillWidth: true
        }
        BusyIndicator {
            id: sendingIndicator
            objectName: "sendingIndicator"
            visible: form.presenter.sending
            running: visible
            padding: 0
            Accessible.name: form.presenter.sendTitle
            // The Mac's spokes, there from the first frame (Fusion's ring fades in).
            contentItem: Item {
                implicitWidth: 18
                implicitHeight: 18

                Repeater {
                    model: 8
                    // Each spoke turned about the centre, the trailing ones fainter.
                    delegate: Item {
                        required property int index
                        width: 18
                        height: 18
                        rotation: index * 45
                        opacity: 0.25 + 0.75 * index / 7

                        Rectangle {
                            x: 8
                            width: 2
                            height: 5
                            radius: 1
                            color: Appearance.secondaryText
                        }
                    }
                }
                RotationAnimator on rotation {
                    running: sendingIndicator.running
                    from: 0
                    to: 360
                    duration: 800
                    loops: Animation.Infinite
                }
            }
        }
        ProminentButton {
            id: sendButton
            // The widest title it has had: "Sending…" does not shrink it under the pointer.
            property real widest: 0
            objectName: "sendReportButton"
            Layout.preferredWidth: Math.max(implicitWidth, widest)
            text: form.presenter.sendTitle
            enabled: form.presenter.sendEnabled
            Component.onCompleted: widest = implicitWidth
            onImplicitWidthChanged: widest = Math.max(widest, implicitWidth)
            onClicked: form.presenter.sendReport()
        }
    }
    PlainLabel {
        objectName: "feedbackUnconfigured"
        visible: form.presenter.showsUnconfigured
        text: form.presenter.unconfiguredText
        font.pixelSize: 11
        wrapMode: Text.WordWrap
        Layout.fillWidth: true
    }
    RowLayout {
        visible: form.presenter.showsResult
        Layout.fillWidth: true
        spacing: 6

        SymbolIcon {
            Layout.alignment: Qt.AlignTop
            symbol: form.presenter.resultFailed ? "exclamationmark.triangle" : "checkmark.circle.fill"
            size: 14
            color: resultText.color
        }
        PlainLabel {
            id: resultText
            objectName: "feedbackResult"
            text: form.presenter.result
            font.pixelSize: 11
            color: form.presenter.resultFailed ? Appearance.warning : Appearance.success
            wrapMode: Text.WordWrap
            Layout.fillWidth: true
        }
    }
}
