pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import Velmor.Controls
import Velmor.SimulatedMac

// The bar below the menu bar: the app's panel of menu bar items the bar cannot show, each as its
// app's icon, with the title the item draws beside it so that one app's items can be told apart. A click, Return or an accessible press opens the item's menu; the arrows move;
// Escape closes it. It takes the keyboard when it opens, as the Mac's panel becomes key.
FocusScope {
    id: panel

    required property BelowBarPresenter presenter
    // The screen whose bar is in use draws it: that bar holds the status items.
    property bool inUse: true

    objectName: "belowBar"
    visible: presenter.shown && inUse
    x: presenter.x
    y: presenter.y
    width: presenter.width
    height: presenter.height
    Accessible.role: Accessible.ToolBar
    Accessible.name: presenter.title

    onVisibleChanged: {
        if (visible) {
            entries.currentIndex = 0
            entries.forceActiveFocus()
        }
    }

    Rectangle {
        anchors.fill: parent
        radius: 8
        color: Appearance.dark ? "#2c2b2a" : "#f6f5f3"
        border.color: Appearance.dark ? "#4a4846" : "#c9c6c0"
    }

    ListView {
        id: entries
        objectName: "belowBarEntries"
        anchors.fill: parent
        anchors.margins: 6
        orientation: ListView.Horizontal
        interactive: false
        clip: true
        focus: true
        model: panel.presenter.entries
        keyNavigationEnabled: true
        Keys.onReturnPressed: panel.presenter.activate(currentIndex)
        Keys.onEnterPressed: panel.presenter.activate(currentIndex)
        Keys.onEscapePressed: panel.presenter.dismiss()

        delegate: Item {
            id: entry
            required property int index
            required property string name
            required property string iconSource
            required property string bundleID
            required property string label
            required property string toolTip
            required property real entryWidth

            objectName: "belowBarEntry:" + bundleID + ":" + index
            width: entryWidth
            height: panel.presenter.entrySize
            Accessible.role: Accessible.Button
            Accessible.name: toolTip
            Accessible.description: toolTip
            Accessible.focusable: true
            Accessible.focused: ListView.isCurrentItem && entries.activeFocus
            Accessible.onPressAction: panel.presenter.activate(entry.index)

            Rectangle {
                anchors.fill: parent
                radius: 5
                color: Appearance.dark ? "#6940a5" : "#b9a3dd"
                opacity: entry.ListView.isCurrentItem && entries.activeFocus ? 0.55
                                                                               : (hover.containsMouse ? 0.3 : 0)
            }
            Image {
                id: icon
                x: (panel.presenter.entrySize - width) / 2
                anchors.verticalCenter: parent.verticalCenter
                width: 22
                height: 22
                sourceSize.width: 44
                sourceSize.height: 44
                source: entry.iconSource
                Accessible.ignored: true
            }
            // The title the item draws, at the bar's font: another app's text, never markup.
            PlainText {
                objectName: "belowBarEntryLabel"
                visible: entry.label !== ""
                anchors.left: icon.right
                anchors.leftMargin: 2
                anchors.right: parent.right
                anchors.rightMargin: 6
                anchors.verticalCenter: parent.verticalCenter
                text: entry.label
                font.pixelSize: 12
                elide: Text.ElideRight
                color: Appearance.dark ? "#f4f3f1" : "#1d1c1a"
                Accessible.ignored: true
            }
            // "App — item": never markup.
            ToolTip {
                visible: hover.containsMouse
                delay: 500
                text: entry.toolTip
                contentItem: PlainText {
                    text: entry.toolTip
                    color: Appearance.dark ? "#f4f3f1" : "#1d1c1a"
                }
            }
            MouseArea {
                id: hover
                anchors.fill: parent
                hoverEnabled: true
                onClicked: {
                    entries.currentIndex = entry.index
                    panel.presenter.activate(entry.index)
                }
            }
        }
    }
}
