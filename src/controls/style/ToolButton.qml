import QtQuick
import QtQuick.Controls.Fusion as Fusion
import Velmor.Controls

// Fusion's tool button with its title drawn as plain text (Fusion's own label renders markup).
Fusion.ToolButton {
    id: control

    contentItem: ControlTitle {
        text: control.text
        font: control.font
        color: control.palette.buttonText
    }
}
