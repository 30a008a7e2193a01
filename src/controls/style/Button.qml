import QtQuick
import QtQuick.Controls.Fusion as Fusion
import Velmor.Controls

// The one push button of every window: one height, corner radius and padding whatever the title,
// its font or the window. A highlighted button (a block's prominent one, a dialog's default) is
// filled with the window's highlight; a checked one (a field waiting for input) is outlined in it;
// the rest are outlined in the title's colour, faint. The title is drawn as plain text (Fusion's
// own label renders markup).
Fusion.Button {
    id: control

    readonly property color fill: control.highlighted ? control.palette.highlight : control.palette.button
    readonly property color ink: control.highlighted ? control.palette.highlightedText : control.palette.buttonText

    topInset: 0
    bottomInset: 0
    leftInset: 0
    rightInset: 0
    topPadding: 4
    bottomPadding: 4
    leftPadding: 12
    rightPadding: 12

    contentItem: ControlTitle {
        text: control.text
        font: control.font
        color: control.ink
    }

    background: Rectangle {
        implicitWidth: 64
        implicitHeight: 28
        radius: 6
        visible: !control.flat || control.down || control.hovered || control.visualFocus
        color: control.flat ? Qt.alpha(control.palette.buttonText, control.down ? 0.16 : 0.08)
               : control.down ? Qt.tint(control.fill, Qt.alpha(control.palette.buttonText, control.highlighted ? 0 : 0.08))
               : control.fill
        opacity: control.highlighted && control.down ? 0.8 : 1
        border.width: control.visualFocus || (control.checked && !control.highlighted) ? 2
                      : control.highlighted || control.flat ? 0 : 1
        border.color: control.visualFocus || control.checked ? (control.highlighted ? control.palette.buttonText : control.palette.highlight)
                      : Qt.alpha(control.palette.buttonText, 0.22)
    }
}
