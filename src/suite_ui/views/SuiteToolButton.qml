import QtQuick
import QtQuick.Controls

// A borderless button of the suite's windows (a symbol, a disclosure). A press by assistive
// technology does what a click does: it turns a checkable one over, then reports the click.
ToolButton {
    id: control

    focusPolicy: Qt.StrongFocus
    opacity: enabled ? 1 : 0.45
    Accessible.name: text
    Accessible.onPressAction: {
        if (!control.enabled)
            return
        if (control.checkable) {
            control.toggle()
            control.toggled()
        }
        control.clicked()
    }
}
