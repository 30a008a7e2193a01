import QtQuick
import QtQuick.Controls

// A push button of the suite's windows. Qt Quick's controls do not turn an assistive technology's
// press into a click: this one does, as every control of the suite does, and only while enabled.
// It reads as disabled in either appearance; its shape is the style's one push button.
Button {
    id: control

    focusPolicy: Qt.StrongFocus
    opacity: enabled ? 1 : 0.45
    Accessible.name: text
    Accessible.onPressAction: {
        if (control.enabled)
            control.clicked()
    }
}
