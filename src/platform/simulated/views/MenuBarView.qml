pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls

// One screen's menu bar: the Apple menu, the frontmost app's menus, and on the primary screen
// the status items where the simulated layout puts them. A screen with a camera housing draws it,
// and the menus stop left of it.
Rectangle {
    id: bar

    required property var presenter
    property bool primary: true
    property bool dark: false
    property string symbolFont: ""
    property string appleGlyph: ""
    // The camera housing from the bar's left edge; width 0 without one.
    property real housingX: 0
    property real housingWidth: 0

    readonly property color ink: dark ? "#f4f3f1" : "#1d1c1a"

    height: presenter.height
    color: dark ? "#262523" : "#ecebe8"
    Accessible.role: Accessible.MenuBar
    Accessible.name: qsTr("Menu bar")

    // A click on the bar that no menu or item takes goes to the system.
    MouseArea {
        anchors.fill: parent
        visible: bar.primary
        onClicked: mouse => bar.presenter.clickBar(mouse.x)
    }

    Item {
        id: menusArea
        anchors.left: parent.left
        anchors.leftMargin: 12
        width: (bar.housingWidth > 0 ? bar.housingX - 4 : bar.width) - anchors.leftMargin
        height: bar.height
        clip: true

        Row {
            id: menus
            anchors.verticalCenter: parent.verticalCenter
            spacing: 2

            Text {
                text: bar.appleGlyph
                font.family: bar.symbolFont
                font.pixelSize: 16
                color: bar.ink
                width: 26
                horizontalAlignment: Text.AlignHCenter
                Accessible.ignored: true
            }
            Repeater {
                model: bar.presenter.appMenus
                delegate: Item {
                    id: title
                    required property var modelData
                    required property int index
                    objectName: "appMenu:" + modelData.title
                    width: label.implicitWidth + 16
                    height: bar.height
                    Accessible.role: Accessible.MenuItem
                    Accessible.name: modelData.title
                    Accessible.onPressAction: title.openMenu()

                    function openMenu() {
                        appMenu.menuIndex = index
                        appMenu.rows = bar.presenter.appMenuItems(index)
                        appMenu.x = title.x + menusArea.x
                        appMenu.y = bar.height
                        appMenu.open()
                    }

                    Text {
                        id: label
                        anchors.centerIn: parent
                        text: title.modelData.title
                        font.pixelSize: 13
                        font.weight: title.modelData.bold ? Font.Bold : Font.Normal
                        color: bar.ink
                    }
                    MouseArea {
                        anchors.fill: parent
                        onClicked: title.openMenu()
                    }
                }
            }
        }
    }

    // Hangs from the top edge, its lower corners rounded.
    Rectangle {
        objectName: "cameraHousing"
        visible: bar.housingWidth > 0
        x: bar.housingX
        y: -radius
        width: bar.housingWidth
        height: bar.height + radius
        radius: 9
        color: "black"
        Accessible.ignored: true
    }

    Item {
        id: statusArea
        visible: bar.primary
        anchors.fill: parent
        Repeater {
            model: bar.primary ? bar.presenter.items : []
            delegate: StatusItemView {
                required property var modelData
                entry: modelData
                menuBar: bar.presenter
                dark: bar.dark
                symbolFont: bar.symbolFont
            }
        }
    }

    MenuPopup {
        id: appMenu
        property int menuIndex: -1
        objectName: "appMenuPopup"
        dark: bar.dark
        onChosen: index => bar.presenter.chooseAppMenuItem(menuIndex, index)
    }

    MenuPopup {
        id: statusMenu
        objectName: "statusMenuPopup"
        dark: bar.dark
        rows: bar.presenter.openMenu
        x: bar.presenter.openMenuX
        y: bar.height
        onChosen: index => bar.presenter.chooseMenuItem(index)
        onClosed: bar.presenter.closeMenu()
    }

    // Another app's extra opened its menu: a click on it, or a press through Accessibility.
    MenuPopup {
        id: extraMenu
        objectName: "extraMenuPopup"
        dark: bar.dark
        rows: bar.presenter.extraMenu
        x: bar.presenter.extraMenuX
        y: bar.height
        onChosen: index => bar.presenter.chooseExtraMenuItem(index)
        onClosed: bar.presenter.closeExtraMenu()
    }

    // The app opens its menu after the click's mouse-up reached it.
    Connections {
        target: bar.presenter
        function onChanged() {
            if (bar.primary && bar.presenter.openMenu.length > 0)
                statusMenu.open()
            else
                statusMenu.close()
            if (bar.primary && bar.presenter.extraMenu.length > 0)
                extraMenu.open()
            else
                extraMenu.close()
        }
    }
}
