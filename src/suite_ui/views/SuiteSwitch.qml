import QtQuick
import QtQuick.Controls

// A switch of the suite's windows, drawn as a pill in the window's palette: the accent when on, a
// white knob, and all of it faded while it cannot be used, in either appearance. Qt Quick's own switch would flip for assistive technology without telling anyone:
// here a press or a toggle does what a click does, and only while enabled.
Switch {
    id: control

    function press() {
        if (!control.enabled)
            return
        control.toggle()
        control.toggled()
        control.clicked()
    }

    // The pill lines up with the labels of the rows above and below it, and a switch at a row's
    // end with the other controls' right edges.
    leftPadding: 0
    rightPadding: 0
    Accessible.name: text
    Accessible.onPressAction: control.press()
    Accessible.onToggleAction: control.press()

    indicator: Rectangle {
        x: control.text ? control.leftPadding : control.leftPadding + (control.availableWidth - width) / 2
        y: control.topPadding + (control.availableHeight - height) / 2
        implicitWidth: 38
        implicitHeight: 22
        radius: height / 2
        color: control.checked ? control.palette.highlight : control.palette.mid
        opacity: control.enabled ? 1 : 0.35
        border.width: control.visualFocus ? 2 : 0
        border.color: control.palette.highlight

        Rectangle {
            x: control.checked ? parent.width - width - 2 : 2
            y: 2
            width: parent.height - 4
            height: width
            radius: width / 2
            color: "white"
            border.width: 1
            border.color: Qt.alpha(control.palette.placeholderText, 0.6)
        }
    }
}
