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

    required property string bundleID
    required property string name
    required property string status
    required property string sight
    required property string iconSource
    required property string toolTip
    required property string label
    required property string payload
    // Seen for the first time since the organizer was last open.
    required property bool isNew
    // The area's "Move to" entries: the same for every card of an area.
    property var moves: []
    required property TraySettingsPresenter presenter

    objectName: "card:" + bundleID
    implicitHeight: texts.y + texts.implicitHeight + 6
    opacity: presenter.areas.cardOpacity
    activeFocusOnTab: true
    accessibleName: label
    accessibleHint: presenter.areas.cardHint
    moveActions: moves
    Accessible.role: Accessible.ListItem
    Accessible.name: label
    Accessible.description: presenter.areas.cardHint
    onMoveRequested: destination => card.presenter.areas.move(card.bundleID, destination)

    // The platform's drag carries the payload as text, to this window, another one or another app.
    Drag.dragType: Drag.Automatic
    Drag.supportedActions: Qt.MoveAction | Qt.CopyAction
    Drag.proposedAction: Qt.MoveAction
    Drag.mimeData: ({ "text/plain": card.payload })
    Drag.hotSpot.x: width / 2
    Drag.hotSpot.y: height / 2

    Keys.onSpacePressed: openMoves(true)
    Keys.onReturnPressed: openMoves(true)
    Keys.onMenuPressed: openMoves(true)

    Rectangle {
        anchors.fill: parent
        radius: 8
        color: hover.hovered ? Qt.alpha(Appearance.accent, 0.08) : "transparent"
        border.width: card.activeFocus ? 2 : 0
        border.color: Appearance.controlAccent
    }

    Image {
        id: icon
        anchors.horizontalCenter: parent.horizontalCenter
        y: 6
        width: 30
        height: 30
        visible: card.iconSource !== ""
        source: card.iconSource
        sourceSize.width: 60
        sourceSize.height: 60
    }
    SymbolIcon {
        anchors.centerIn: icon
        visible: card.iconSource === ""
        symbol: card.presenter.symbols.missingIcon
        size: 28
        color: Appearance.secondaryText
    }
    // Two lines each before a text is cut; the tooltip and the card's label hold it whole.
    Column {
        id: texts
        y: icon.y + icon.height + 4
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.margins: 2
        PlainLabel {
            objectName: "cardName:" + card.bundleID
            width: parent.width
            text: card.name
            font.pixelSize: 11
            color: Appearance.text
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            maximumLineCount: 2
            elide: Text.ElideRight
        }
        PlainLabel {
            objectName: "cardStatus:" + card.bundleID
            width: parent.width
            visible: card.status !== ""
            text: card.status
            font.pixelSize: 10
            color: Appearance.secondaryText
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            maximumLineCount: 2
            elide: Text.ElideRight
        }
        // Why no one can see its icons: behind the camera housing, or off the bar's end.
        PlainLabel {
            objectName: "sight:" + card.bundleID
            width: parent.width
            visible: card.sight !== ""
            text: card.sight
            font.pixelSize: 9
            color: Appearance.warning
            horizontalAlignment: Text.AlignHCenter
            elide: Text.ElideRight
        }
    }

    Rectangle {
        objectName: "newBadge:" + card.bundleID
        visible: card.isNew
        anchors.top: parent.top
        anchors.right: parent.right
        anchors.margins: 2
        width: badgeText.implicitWidth + 8
        height: badgeText.implicitHeight + 2
        radius: height / 2
        color: Appearance.accent
        PlainLabel {
            id: badgeText
            anchors.centerIn: parent
            text: card.presenter.areas.newBadgeText
            font.pixelSize: 9
            font.weight: Font.DemiBold
            color: "white"
        }
    }

    HoverHandler { id: hover }
    ToolTip.visible: hover.hovered && !dragger.active
    ToolTip.delay: 600
    ToolTip.text: card.toolTip

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
            objectName: "moveMenu:" + card.bundleID
            Repeater {
                model: card.moves
                delegate: SuiteMenuItem {
                    required property var modelData
                    objectName: "move:" + card.bundleID + ":" + modelData.destination
                    text: modelData.title
                    enabled: modelData.enabled
                    onTriggered: card.presenter.areas.move(card.bundleID, modelData.destination)
                }
            }
        }
    }
}
