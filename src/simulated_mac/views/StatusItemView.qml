pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import Velmor.Controls
import Velmor.SimulatedMac

// One status item on the bar, as wide as it is; a person sees and reaches the part right of the
// bar's limit. Left and right clicks, and Command-drags (Control on keyboards without Command),
// become the simulated Mac's mouse events.
Item {
    id: item

    required property string key
    required property real itemWidth
    required property bool shown
    required property bool clipped
    required property string title
    required property string glyph
    required property string iconSource
    required property bool imageFirst
    required property bool dimmed
    required property string toolTip
    required property string accessibleName
    required property MenuBarPresenter menuBar
    // The menu bar: a Command-drag drops at a place on it.
    required property Item barItem
    property string symbolFont: ""

    readonly property color ink: Appearance.dark ? "#f4f3f1" : "#1d1c1a"

    visible: shown
    width: itemWidth
    height: parent ? parent.height : 24

    // The part a person sees. Only a clipped item, the leftmost, looks where the bar's limit lies
    // (the left edge of its row's parent).
    Item {
        id: face
        objectName: "statusItem:" + item.key
        x: item.clipped && item.parent ? Math.max(0, -(item.parent.x + item.x)) : 0
        width: item.width - x
        height: item.height
        clip: true

        Accessible.role: Accessible.Button
        Accessible.name: item.accessibleName
        Accessible.description: item.toolTip
        Accessible.onPressAction: item.menuBar.click(item.key, false)

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
            readonly property real cell: item.clipped ? Math.min(face.width, face.height + 2) : face.width
            anchors.right: parent.right
            anchors.rightMargin: Math.max(0, (cell - width) / 2)
            anchors.verticalCenter: parent.verticalCenter
            layoutDirection: item.imageFirst ? Qt.LeftToRight : Qt.RightToLeft
            spacing: 3

            Image {
                visible: item.iconSource !== ""
                source: item.iconSource
                sourceSize.width: 16
                sourceSize.height: 16
                width: 16
                height: 16
            }
            PlainText {
                visible: item.glyph !== ""
                text: item.glyph
                font.family: item.symbolFont
                font.pixelSize: 17
                color: item.ink
                opacity: item.dimmed ? 0.4 : 1
            }
            PlainText {
                objectName: "statusTitle:" + item.key
                visible: item.title !== ""
                // At the bar's size, whatever the item's width: the system truncates a title the
                // item is too narrow for, with an ellipsis.
                width: Math.max(0, Math.min(implicitWidth, face.width - 2 - (item.glyph !== "" ? 20 : 0)))
                elide: Text.ElideRight
                text: item.title
                font.pixelSize: 13
                color: item.ink
                opacity: item.dimmed ? 0.4 : 1
            }
        }

        // Not over the menu the item's click opened.
        ToolTip.visible: mouse.containsMouse && !mouse.pressed && item.toolTip !== "" && !item.menuBar.menuOpen
        ToolTip.text: item.toolTip
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
                    item.menuBar.commandDrag(item.key, face.mapToItem(item.barItem, mouse.x, 0).x)
                    return
                }
                item.menuBar.click(item.key, mouse.button === Qt.RightButton)
            }
        }
    }
}
