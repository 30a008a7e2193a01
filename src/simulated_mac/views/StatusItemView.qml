pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import Velmor.Controls

// One status item on the bar. Left and right clicks, and Command-drags (Control on keyboards
// without Command), become the simulated Mac's mouse events.
Item {
    id: item

    required property var entry
    required property var menuBar
    property bool dark: false
    property string symbolFont: ""

    readonly property color ink: dark ? "#f4f3f1" : "#1d1c1a"

    objectName: "statusItem:" + entry.key
    x: entry.visibleX
    width: entry.visibleWidth
    height: parent ? parent.height : 24
    clip: true

    Accessible.role: Accessible.Button
    Accessible.name: entry.accessibleName
    Accessible.description: entry.toolTip
    Accessible.onPressAction: item.menuBar.click(item.entry.key, false)

    Rectangle {
        anchors.fill: parent
        anchors.margins: 2
        radius: 4
        color: item.ink
        opacity: mouse.pressed && !mouse.dragging ? 0.15 : 0
    }

    Row {
        id: content
        // A stretched item keeps its content in the square at its right end, where it stays
        // visible; any other item centres it.
        readonly property real cell: item.entry.width > item.entry.visibleWidth ? Math.min(item.width, item.height + 2)
                                                                               : item.width
        anchors.right: parent.right
        anchors.rightMargin: Math.max(0, (cell - width) / 2)
        anchors.verticalCenter: parent.verticalCenter
        layoutDirection: item.entry.imageFirst ? Qt.LeftToRight : Qt.RightToLeft
        spacing: 3

        Image {
            visible: item.entry.iconSource !== ""
            source: item.entry.iconSource
            sourceSize.width: 16
                        sourceSize.height: 16
            width: 16
            height: 16
        }
        PlainText {
            visible: item.entry.glyph !== ""
            text: item.entry.glyph
            font.family: item.symbolFont
            font.pixelSize: 17
            color: item.ink
            opacity: item.entry.dimmed ? 0.4 : 1
        }
        PlainText {
            objectName: "statusTitle:" + item.entry.key
            visible: item.entry.title !== ""
            // At the bar's size, whatever the item's width: the system cuts a title the item is
            // too narrow for.
            width: Math.min(implicitWidth, item.width - 4 - (item.entry.glyph !== "" ? 20 : 0))
            clip: true
            text: item.entry.title
            font.pixelSize: 13
            color: item.ink
            opacity: item.entry.dimmed ? 0.4 : 1
        }
    }

    // Not over the menu the item's click opened.
    ToolTip.visible: mouse.containsMouse && !mouse.pressed && item.entry.toolTip !== ""
                     && item.menuBar.openMenu.length === 0
    ToolTip.text: item.entry.toolTip
    ToolTip.delay: 700

    MouseArea {
        id: mouse
        property bool dragging: false
        property bool arranging: false
        property real startX: 0

        anchors.fill: parent
        hoverEnabled: true
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        onPressed: mouse => {
            startX = mouse.x
            dragging = false
            // Command (or Control) held at mouse-down makes it an arranging drag, as on the Mac.
            arranging = mouse.button === Qt.LeftButton
                        && (mouse.modifiers & (Qt.MetaModifier | Qt.ControlModifier)) !== 0
        }
        onPositionChanged: mouse => {
            if (pressed && arranging && Math.abs(mouse.x - startX) > 3)
                dragging = true
        }
        onReleased: mouse => {
            if (dragging) {
                dragging = false
                item.menuBar.commandDrag(item.entry.key, item.x + mouse.x)
                return
            }
            item.menuBar.click(item.entry.key, mouse.button === Qt.RightButton)
        }
    }
}
