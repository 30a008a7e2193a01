import QtQuick
import QtQuick.Controls.Fusion as Fusion
import Velmor.Controls

// A radio button whose circle reads in either appearance (Fusion's fades into a dark window): an
// outlined circle, and for the chosen one a circle filled with the highlight around a white dot.
// The title is drawn as plain text.
Fusion.RadioButton {
    id: control

    indicator: Rectangle {
        x: control.text ? (control.mirrored ? control.width - width - control.rightPadding : control.leftPadding)
                        : control.leftPadding + (control.availableWidth - width) / 2
        y: control.topPadding + (control.availableHeight - height) / 2
        implicitWidth: 16
        implicitHeight: 16
        radius: width / 2
        color: control.checked ? control.palette.highlight : control.palette.base
        border.width: control.visualFocus ? 2 : 1
        border.color: control.visualFocus ? control.palette.highlight
                      : control.checked ? Qt.darker(control.palette.highlight, 1.15)
                      : Qt.alpha(control.palette.windowText, 0.45)
        opacity: control.enabled ? (control.down ? 0.8 : 1) : 0.45

        Rectangle {
            anchors.centerIn: parent
            width: 6
            height: 6
            radius: 3
            color: "white"
            visible: control.checked
        }
    }

    contentItem: PlainText {
        leftPadding: control.indicator && !control.mirrored ? control.indicator.width + control.spacing : 0
        rightPadding: control.indicator && control.mirrored ? control.indicator.width + control.spacing : 0
        text: control.text
        font: control.font
        color: control.palette.windowText
        elide: Text.ElideRight
        verticalAlignment: Text.AlignVCenter
    }
}
