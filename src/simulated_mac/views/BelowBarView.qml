pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import Velmor.Controls
import Velmor.SimulatedMac

// The bar below the menu bar: the app's panel of menu bar items the bar cannot show, each as its
// app's icon. A click, Return or an accessible press opens the item's menu; the arrows move;
// Escape closes it. It takes the keyboard when it opens, as the Mac's panel becomes key.
FocusScope {
    id: panel

    required property BelowBarPresenter presenter
    // The main screen draws it: its menu bar holds the status items.
    property bool primary: true

    objectName: "belowBar"
    visible: presenter.shown && primary
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

            objectName: "belowBarEntry:" + bundleID + ":" + index
            width: panel.presenter.entrySize
            height: panel.presenter.entrySize
            Accessible.role: Accessible.Button
            Accessible.name: name
            Accessible.description: name
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
                anchors.centerIn: parent
                width: 22
                height: 22
                sourceSize.width: 44
                sourceSize.height: 44
                source: entry.iconSource
                Accessible.ignored: true
            }
            // The item's own title: never markup.
            ToolTip {
                visible: hover.containsMouse
                delay: 500
                text: entry.name
                contentItem: PlainText {
                    text: entry.name
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
