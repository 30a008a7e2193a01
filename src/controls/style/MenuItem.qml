import QtQuick
import QtQuick.Controls.Fusion as Fusion
import Velmor.Controls

// Fusion's menu item with its title drawn as plain text.
Fusion.MenuItem {
    id: control

    contentItem: ControlTitle {
        readonly property real arrowPadding: control.subMenu && control.arrow ? control.arrow.width + control.spacing : 0
        readonly property real indicatorPadding: control.checkable && control.indicator ? control.indicator.width + control.spacing : 0

        leftPadding: !control.mirrored ? indicatorPadding : arrowPadding
        rightPadding: control.mirrored ? indicatorPadding : arrowPadding
        alignment: Qt.AlignLeft
        text: control.text
        font: control.font
        color: control.down || control.highlighted ? Fusion.Fusion.highlightedText(control.palette) : control.palette.text
    }
}
