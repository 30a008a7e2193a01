pragma ComponentBehavior: Bound

import QtQuick
import Velmor.Controls

// One screen's menu bar: the Apple menu, the frontmost app's menus, and on the primary screen
// the status items where the simulated layout puts them.
Rectangle {
    id: bar

    required property var presenter
    property bool primary: true
    property bool dark: false
    property string symbolFont: ""
    property string appleGlyph: ""

    readonly property color ink: dark ? "#f4f3f1" : "#1d1c1a"

    height: presenter.height
    color: dark ? "#262523" : "#ecebe8"
    Accessible.role: Accessible.MenuBar
    Accessible.name: qsTr("Menu bar")

    Row {
        id: menus
        anchors.left: parent.left
        anchors.leftMargin: 12
        anchors.verticalCenter: parent.verticalCenter
        spacing: 2

        PlainText {
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
                    appMenu.x = title.x + menus.x
                    appMenu.y = bar.height
                    appMenu.open()
                }

                PlainText {
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

    // The app opens its menu after the click's mouse-up reached it.
    Connections {
        target: bar.presenter
        function onChanged() {
            if (bar.primary && bar.presenter.openMenu.length > 0)
                statusMenu.open()
            else
                statusMenu.close()
        }
    }
}
