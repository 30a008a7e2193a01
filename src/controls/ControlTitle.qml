import QtQuick

// A control's title as plain text, placed where Fusion's own label would put it: as wide as the
// text (elided when the control is narrower) and aligned within the control at fractional
// positions, so a control looks as it did with Fusion's label.
Item {
    id: title

    property alias text: label.text
    property alias font: label.font
    property alias color: label.color
    property int alignment: Qt.AlignCenter
    property real leftPadding: 0
    property real rightPadding: 0

    readonly property real availableWidth: Math.max(0, width - leftPadding - rightPadding)

    implicitWidth: label.implicitWidth + leftPadding + rightPadding
    implicitHeight: label.implicitHeight

    PlainText {
        id: label

        width: Math.min(implicitWidth, title.availableWidth)
        height: Math.min(implicitHeight, title.height)
        x: title.leftPadding + ((title.alignment & Qt.AlignHCenter) ? (title.availableWidth - width) / 2
                               : (title.alignment & Qt.AlignRight) ? title.availableWidth - width : 0)
        y: (title.height - height) / 2
        elide: Text.ElideRight
    }
}
