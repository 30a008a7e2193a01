import QtQuick
import QtQuick.Controls.Fusion as Fusion
import Velmor.Controls

// Fusion's tool tip drawn as plain text; the attached ToolTip of every control is this one too.
Fusion.ToolTip {
    id: control

    contentItem: PlainText {
        text: control.text
        font: control.font
        wrapMode: Text.Wrap
        color: control.palette.toolTipText
    }
}
