import QtQuick
import QtQuick.Controls
import Velmor.Controls
import Velmor.SuiteUi

// The one button of a block that moves the user on: filled with the app's accent.
SuiteButton {
    id: button


    highlighted: true
    opacity: 1
    contentItem: PlainLabel {
        text: button.text
        color: "white"
        opacity: button.enabled ? 1 : 0.6
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }
    background: Rectangle {
        implicitWidth: 80
        implicitHeight: 30
        radius: 6
        color: Theme.controlAccent(Appearance.dark)
        opacity: button.enabled ? (button.down ? 0.8 : 1) : 0.45
        border.width: button.visualFocus ? 2 : 0
        border.color: Theme.accent(!Appearance.dark)
    }
}
