import QtQuick
import QtQuick.Controls.Fusion as Fusion
import Velmor.Controls

// Fusion's item delegate with its title drawn as plain text.
Fusion.ItemDelegate {
    id: control

    contentItem: ControlTitle {
        alignment: Qt.AlignLeft
        text: control.text
        font: control.font
        color: control.highlighted ? Fusion.Fusion.highlightedText(control.palette) : control.palette.text
    }
}
