pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.Controls
import Velmor.SuiteUi
import Velmor.SettingsWindow

// One command's shortcut: its title, the recorder showing the shortcut the Mac way, a button that
// clears it, and why a combination was refused. Pressing the recorder starts recording: the next
// keys pressed with a modifier become the shortcut; Escape cancels and Delete clears.
ColumnLayout {
    id: row

    required property TrayShortcutRecorder recorder

    spacing: 2

    RowLayout {
        Layout.fillWidth: true
        spacing: 8

        PlainLabel {
            Layout.fillWidth: true
            text: row.recorder.title
            color: Theme.text(Appearance.dark)
            elide: Text.ElideRight
        }
        SuiteButton {
            id: recordButton
            objectName: "shortcutRecorder:" + row.recorder.name
            Layout.preferredWidth: 150
            text: row.recorder.buttonText
            highlighted: row.recorder.recording
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
                font.weight: row.recorder.hasShortcut && !row.recorder.recording ? Font.DemiBold : Font.Normal
                color: recordButton.highlighted ? "white" : Theme.text(Appearance.dark)
            }
            palette.button: highlighted ? Theme.controlAccent(Appearance.dark) : Theme.controlBackground(Appearance.dark)
        }
        SuiteToolButton {
            objectName: "shortcutClear:" + row.recorder.name
            enabled: row.recorder.hasShortcut && !row.recorder.recording
            opacity: enabled ? 1 : 0
            text: row.recorder.clearName
            onClicked: row.recorder.clear()
            contentItem: SymbolIcon {
                symbol: "xmark.circle.fill"
                size: 15
                color: Theme.secondaryText(Appearance.dark)
            }
        }
    }
    PlainLabel {
        objectName: "shortcutMessage:" + row.recorder.name
        visible: text !== ""
        Layout.fillWidth: true
        text: row.recorder.message
        font.pixelSize: 12
        color: row.recorder.recording ? Theme.secondaryText(Appearance.dark) : Theme.warning(Appearance.dark)
        wrapMode: Text.WordWrap
    }
}
