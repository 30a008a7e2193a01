pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import Velmor.Controls
import Velmor.SuiteUi
import Velmor.SettingsWindow

// One app in an area: its icon and name, draggable with the app's payload, with the move actions
// in its context menu, on the keyboard (Space, Return or the menu key) and for assistive
// technology.
TrayCardItem {
    id: card

    required property var modelData
    required property TraySettingsPresenter presenter
    property bool dark: false

    objectName: "card:" + modelData.bundleID
    implicitHeight: 74
    opacity: presenter.cardOpacity
    activeFocusOnTab: true
    accessibleName: modelData.accessibleName
    accessibleHint: presenter.cardHint
    moveActions: modelData.moves
    Accessible.role: Accessible.ListItem
    Accessible.name: modelData.accessibleName
    Accessible.description: presenter.cardHint
    onMoveRequested: destination => card.presenter.move(card.modelData.bundleID, destination)

    // The platform's drag carries the payload as text, to this window, another one or another app.
    Drag.dragType: Drag.Automatic
    Drag.supportedActions: Qt.MoveAction | Qt.CopyAction
    Drag.proposedAction: Qt.MoveAction
    Drag.mimeData: ({ "text/plain": card.modelData.payload })
    Drag.hotSpot.x: width / 2
    Drag.hotSpot.y: height / 2

    Keys.onSpacePressed: openMoves(true)
    Keys.onReturnPressed: openMoves(true)
    Keys.onMenuPressed: openMoves(true)

    Rectangle {
        anchors.fill: parent
        radius: 8
        color: hover.hovered ? Qt.alpha(Theme.accent(card.dark), 0.08) : "transparent"
        border.width: card.activeFocus ? 2 : 0
        border.color: Theme.controlAccent(card.dark)
    }

    Image {
        id: icon
        anchors.horizontalCenter: parent.horizontalCenter
        y: 6
        width: 30
        height: 30
        visible: card.modelData.iconSource !== ""
        source: card.modelData.iconSource
        sourceSize.width: 60
        sourceSize.height: 60
    }
    SymbolIcon {
        anchors.centerIn: icon
        visible: card.modelData.iconSource === ""
        symbol: card.presenter.symbols.missingIcon
        size: 28
        color: Theme.secondaryText(card.dark)
    }
    Column {
        anchors.top: icon.bottom
        anchors.topMargin: 4
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.margins: 2
        PlainLabel {
            width: parent.width
            text: card.modelData.name
            font.pixelSize: 11
            color: Theme.text(card.dark)
            horizontalAlignment: Text.AlignHCenter
            elide: Text.ElideRight
        }
        PlainLabel {
            width: parent.width
            visible: card.modelData.status !== ""
            text: card.modelData.status
            font.pixelSize: 9
            color: Theme.secondaryText(card.dark)
            horizontalAlignment: Text.AlignHCenter
            elide: Text.ElideRight
        }
    }

    HoverHandler { id: hover }
    ToolTip.visible: hover.hovered && !dragger.active
    ToolTip.delay: 600
    ToolTip.text: card.modelData.toolTip

    DragHandler {
        id: dragger
        target: null
        // Set, not bound: a binding would loop with the automatic drag, which clears it when done.
        onActiveChanged: {
            if (active)
                card.Drag.active = true
        }
    }
    TapHandler {
        acceptedButtons: Qt.RightButton
        onTapped: card.openMoves(false)
    }
    TapHandler {
        acceptedButtons: Qt.LeftButton
        onTapped: card.forceActiveFocus(Qt.MouseFocusReason)
    }

    // Made when first asked for: a window of many cards would otherwise build a menu per card.
    property Menu moveMenu: null
    function openMoves(belowCard: bool) {
        if (!moveMenu)
            moveMenu = moveMenuComponent.createObject(card)
        if (belowCard)
            moveMenu.popup(card, 0, card.height)
        else
            moveMenu.popup()
    }

    Component {
        id: moveMenuComponent
        Menu {
            objectName: "moveMenu:" + card.modelData.bundleID
            Repeater {
                model: card.modelData.moves
                delegate: MenuItem {
                    required property var modelData
                    objectName: "move:" + card.modelData.bundleID + ":" + modelData.destination
                    text: modelData.title
                    enabled: modelData.enabled
                    onTriggered: card.presenter.move(card.modelData.bundleID, modelData.destination)
                }
            }
        }
    }
}
