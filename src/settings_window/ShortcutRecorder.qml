pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.Controls
import Velmor.SuiteUi
import Velmor.SettingsWindow

// One command's shortcut: its title, and in the recorder's column the recorder showing the
// shortcut the Mac way with the button that clears it inside, and under it why a combination was
// refused. Pressing the recorder starts recording: the next keys pressed with a modifier become
// the shortcut; Escape cancels and Delete clears.
RowLayout {
    id: row

    required property TrayShortcutRecorder recorder
    // The recorders of a section share one column, right-aligned with the section's other controls.
    property real recorderWidth: 220

    spacing: 8

    PlainLabel {
        Layout.fillWidth: true
        Layout.alignment: Qt.AlignTop
        Layout.preferredHeight: recordButton.implicitHeight
        verticalAlignment: Text.AlignVCenter
        text: row.recorder.title
        color: Appearance.text
        elide: Text.ElideRight
    }
    ColumnLayout {
        objectName: "shortcutColumn:" + row.recorder.name
        Layout.preferredWidth: row.recorderWidth
        Layout.maximumWidth: row.recorderWidth
        Layout.alignment: Qt.AlignTop
        spacing: 3

        Item {
            Layout.fillWidth: true
            implicitHeight: recordButton.implicitHeight

            SuiteButton {
                id: recordButton
                objectName: "shortcutRecorder:" + row.recorder.name
                anchors.fill: parent
                // The clear button sits over the right end; the title stays centred between it and
                // the left edge's mirror.
                leftPadding: 12 + clearButton.width
                rightPadding: 12 + clearButton.width
                text: row.recorder.buttonText
                // Waiting for keys: outlined in the accent, unlike a default button.
                checked: row.recorder.recording
                Accessible.name: row.recorder.accessibleName
                Accessible.description: row.recorder.message
                onClicked: {
                    row.recorder.press()
                    if (row.recorder.recording)
                        recordButton.forceActiveFocus()
                }
                onActiveFocusChanged: {
                    if (!activeFocus)
                        row.recorder.cancel()
                }
                // While recording every key is the shortcut's, Tab and Space included.
                Keys.onPressed: event => {
                    if (row.recorder.recording)
                        event.accepted = row.recorder.keyPressed(event.key, event.modifiers)
                }
                contentItem: PlainLabel {
                    text: recordButton.text
                    horizontalAlignment: Text.AlignHCenter
                    verticalAlignment: Text.AlignVCenter
                    elide: Text.ElideRight
                    font.weight: row.recorder.hasShortcut && !row.recorder.recording ? Font.DemiBold : Font.Normal
                    color: row.recorder.recording ? Appearance.accent : Appearance.text
                }
                palette.highlight: Appearance.controlAccent
            }
            SuiteToolButton {
                id: clearButton
                objectName: "shortcutClear:" + row.recorder.name
                anchors.right: parent.right
                anchors.rightMargin: 4
                anchors.verticalCenter: parent.verticalCenter
                width: 22
                height: 22
                padding: 0
                enabled: row.recorder.hasShortcut && !row.recorder.recording
                opacity: enabled ? 1 : 0
                text: row.recorder.clearName
                onClicked: row.recorder.clear()
                contentItem: SymbolIcon {
                    symbol: "xmark.circle.fill"
                    size: 15
                    color: Appearance.secondaryText
                }
            }
        }
        PlainLabel {
            objectName: "shortcutMessage:" + row.recorder.name
            visible: text !== ""
            Layout.fillWidth: true
            text: row.recorder.message
            font.pixelSize: 12
            color: row.recorder.messageIsHint ? Appearance.secondaryText : Appearance.warning
            wrapMode: Text.WordWrap
        }
    }
}
