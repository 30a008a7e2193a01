import QtQuick
import QtQuick.Controls.Fusion as Fusion
import Velmor.Controls

// Fusion's switch with its title drawn as plain text.
Fusion.Switch {
    id: control

    contentItem: PlainText {
        leftPadding: control.indicator && !control.mirrored ? control.indicator.width + control.spacing : 0
        rightPadding: control.indicator && control.mirrored ? control.indicator.width + control.spacing : 0
        text: control.text
        font: control.font
        color: control.palette.text
        elide: Text.ElideRight
        verticalAlignment: Text.AlignVCenter
    }
}
