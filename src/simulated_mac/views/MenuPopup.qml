pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import Velmor.Controls

// A pull-down menu of the simulated Mac: a model of rows with the roles title, available and
// separator. `chosen` reports the row a person picked; closing without a pick reports nothing.
Popup {
    id: popup

    property var rows: null
    signal chosen(int index)

    padding: 5
    focus: true
    contentWidth: 210
    contentHeight: list.implicitHeight
    closePolicy: Popup.CloseOnEscape | Popup.CloseOnPressOutside

    background: Rectangle {
        radius: 6
        color: Appearance.dark ? "#2c2b2a" : "#f6f5f3"
        border.color: Appearance.dark ? "#4a4846" : "#c9c6c0"
    }

    Column {
        id: list
        objectName: "menuRows"
        width: popup.availableWidth
        Accessible.role: Accessible.PopupMenu

        Repeater {
            model: popup.rows
            delegate: Item {
                id: row
                required property string title
                required property bool available
                required property bool separator
                required property int index
                width: list.width
                height: separator ? 9 : 24

                Rectangle {
                    visible: row.separator
                    anchors.verticalCenter: parent.verticalCenter
                    width: parent.width
                    height: 1
                    color: Appearance.dark ? "#4a4846" : "#d6d3cd"
                }
                ItemDelegate {
                    id: choice
                    objectName: "menuItem:" + row.title
                    visible: !row.separator
                    anchors.fill: parent
                    enabled: row.available
                    text: row.title
                    font.pixelSize: 13
                    // Other apps' menus carry their own titles: never markup.
                    contentItem: PlainText {
                        text: choice.text
                        font: choice.font
                        color: choice.palette.text
                        opacity: choice.enabled ? 1 : 0.45
                        elide: Text.ElideRight
                        verticalAlignment: Text.AlignVCenter
                    }
                    Accessible.role: Accessible.MenuItem
                    Accessible.name: row.title
                    Accessible.onPressAction: clicked()
                    onClicked: {
                        popup.chosen(row.index)
                        popup.close()
                    }
                }
            }
        }
    }
}
