pragma ComponentBehavior: Bound

import QtQuick
import Velmor.Controls
import Velmor.SimulatedMac

// One screen's menu bar: the Apple menu, the frontmost app's menus, and the status items where
// the simulated layout puts them. The bar in use holds the items themselves; another display's bar
// shows their likeness, laid out by its own width and housing, and a click there makes it the bar
// in use. A screen with a camera housing draws it, and the menus stop left of it.
Rectangle {
    id: bar

    required property MenuBarPresenter presenter
    property bool inUse: true
    // Another display's bar: the items as it lays them out, each with the item roles and `x`.
    property var likeness: []
    property string symbolFont: ""
    property string appleGlyph: ""
    // The camera housing from the bar's left edge; width 0 without one.
    property real housingX: 0
    property real housingWidth: 0

    readonly property color ink: Appearance.dark ? "#f4f3f1" : "#1d1c1a"

    height: presenter.height
    color: Appearance.dark ? "#262523" : "#ecebe8"
    Accessible.role: Accessible.MenuBar
    Accessible.name: qsTr("Menu bar")

    // A click on another display's bar: `x` from its left edge.
    signal otherBarClicked(real x)

    // A click on the bar that no menu or item takes goes to the system.
    MouseArea {
        anchors.fill: parent
        onClicked: mouse => {
            if (bar.inUse)
                bar.presenter.clickBar(mouse.x)
            else
                bar.otherBarClicked(mouse.x)
        }
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

            // On the menu titles' baseline, as the Mac draws it (the icon font draws its glyphs an
            // eighth of their size above the baseline it reports).
            PlainText {
                text: bar.appleGlyph
                font.family: bar.symbolFont
                font.pixelSize: 16
                color: bar.ink
                width: 26
                height: bar.height
                topPadding: (bar.height - titleLine.implicitHeight) / 2 + titleLine.baselineOffset - appleMetrics.ascent
                            + font.pixelSize / 8
                horizontalAlignment: Text.AlignHCenter
                Accessible.ignored: true
                FontMetrics { id: appleMetrics; font.family: bar.symbolFont; font.pixelSize: 16 }
                PlainText { id: titleLine; visible: false; text: "M"; font.pixelSize: 13 }
            }
            Repeater {
                model: bar.presenter.appMenus
                delegate: Item {
                    id: menuTitle
                    required property string title
                    required property bool bold
                    required property int index
                    objectName: "appMenu:" + title
                    width: label.implicitWidth + 16
                    height: bar.height
                    Accessible.role: Accessible.MenuItem
                    Accessible.name: title
                    Accessible.onPressAction: menuTitle.openMenu()

                    function openMenu() {
                        appMenu.menuIndex = index
                        bar.presenter.loadAppMenu(index)
                        appMenu.x = menuTitle.x + menusArea.x
                        appMenu.y = bar.height
                        appMenu.open()
                    }

                    PlainText {
                        id: label
                        anchors.centerIn: parent
                        text: menuTitle.title
                        font.pixelSize: 13
                        font.weight: menuTitle.bold ? Font.Bold : Font.Normal
                        color: bar.ink
                    }
                    MouseArea {
                        anchors.fill: parent
                        onClicked: menuTitle.openMenu()
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

    // Status items lie side by side and end where the system's own begin, as the system lays
    // them out; what lies left of the limit is out of sight. A hidden item keeps its row, so
    // hiding or showing one rebuilds nothing else.
    Item {
        id: statusArea
        visible: bar.inUse
        x: bar.presenter.statusLeft
        width: Math.max(0, bar.presenter.statusRight - x)
        height: bar.height
        clip: true

        Row {
            anchors.right: parent.right
            height: parent.height
            Repeater {
                model: bar.inUse ? bar.presenter.statusItems : null
                delegate: StatusItemView {
                    menuBar: bar.presenter
                    barItem: bar
                    symbolFont: bar.symbolFont
                }
            }
        }
    }

    Row {
        visible: bar.inUse
        x: bar.presenter.statusRight
        height: bar.height
        Repeater {
            model: bar.inUse ? bar.presenter.systemItems : null
            delegate: StatusItemView {
                menuBar: bar.presenter
                barItem: bar
                symbolFont: bar.symbolFont
            }
        }
    }

    // The likeness of the items on a bar not in use, dimmed as the Mac dims an inactive bar.
    Repeater {
        model: bar.inUse ? [] : bar.likeness
        delegate: Item {
            id: likeItem
            required property var modelData
            objectName: "likeness:" + modelData.key
            x: modelData.x
            width: modelData.itemWidth
            height: bar.height
            visible: modelData.shown
            opacity: 0.75
            Accessible.role: Accessible.StaticText
            Accessible.name: modelData.accessibleName

            Row {
                anchors.centerIn: parent
                spacing: 3
                Image {
                    visible: likeItem.modelData.iconSource !== ""
                    anchors.verticalCenter: parent.verticalCenter
                    width: 16
                    height: 16
                    sourceSize.width: 32
                    sourceSize.height: 32
                    source: likeItem.modelData.iconSource
                }
                PlainText {
                    visible: likeItem.modelData.glyph !== ""
                    anchors.verticalCenter: parent.verticalCenter
                    text: likeItem.modelData.glyph
                    font.family: bar.symbolFont
                    font.pixelSize: 15
                    color: bar.ink
                }
                // Another app's title: never markup.
                PlainText {
                    visible: likeItem.modelData.title !== ""
                    anchors.verticalCenter: parent.verticalCenter
                    width: Math.min(implicitWidth, likeItem.width - 4)
                    text: likeItem.modelData.title
                    font.pixelSize: 13
                    elide: Text.ElideRight
                    color: bar.ink
                }
            }
        }
    }

    MenuPopup {
        id: appMenu
        property int menuIndex: -1
        objectName: "appMenuPopup"
        rows: bar.presenter.appMenuItems
        onChosen: index => bar.presenter.chooseAppMenuItem(menuIndex, index)
    }

    MenuPopup {
        id: statusMenu
        objectName: "statusMenuPopup"
        rows: bar.presenter.menuItems
        x: bar.presenter.menuX
        y: bar.height
        onChosen: index => bar.presenter.chooseMenuItem(index)
        onClosed: bar.presenter.closeMenu()
    }

    // Another app's extra opened its menu: a click on it, or a press through Accessibility.
    MenuPopup {
        id: extraMenu
        objectName: "extraMenuPopup"
        rows: bar.presenter.extraMenuItems
        x: bar.presenter.extraMenuX
        y: bar.height
        onChosen: index => bar.presenter.chooseExtraMenuItem(index)
        onClosed: bar.presenter.closeExtraMenu()
    }

    function showMenus() {
        if (bar.inUse && bar.presenter.menuOpen)
            statusMenu.open()
        else
            statusMenu.close()
        if (bar.inUse && bar.presenter.extraMenuOpen)
            extraMenu.open()
        else
            extraMenu.close()
    }

    Component.onCompleted: showMenus()

    // The app opens its menu after the click's mouse-up reached it.
    Connections {
        target: bar.presenter
        function onMenuChanged() {
            bar.showMenus()
        }
        function onExtraMenuChanged() {
            bar.showMenus()
        }
    }
}
