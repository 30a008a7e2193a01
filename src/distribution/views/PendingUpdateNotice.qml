import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.Controls
import Velmor.SuiteUi
import Velmor.Distribution

// A row an app places in its own window while an update is held back: the symbol, the
// controller's status, and the button that ends the wait. Takes no room otherwise.
Rectangle {
    id: notice

    required property PendingUpdateNoticePresenter presenter

    visible: presenter.shown
    implicitWidth: row.implicitWidth + 24
    implicitHeight: visible ? row.implicitHeight + 24 : 0
    // The bar material: the window's canvas, slightly lifted.
    color: Appearance.dark ? Qt.lighter(Appearance.canvas, 1.35) : Qt.darker(Appearance.canvas, 1.03)
    Accessible.role: Accessible.Grouping
    Accessible.name: presenter.message

    RowLayout {
        id: row
        anchors.fill: parent
        anchors.margins: 12
        spacing: 12

        SymbolIcon {
            symbol: "arrow.down.circle"
            size: 18
            color: Appearance.controlAccent
        }
        PlainLabel {
            objectName: "pendingUpdateMessage"
            text: notice.presenter.message
            font.pixelSize: 12
            wrapMode: Text.WordWrap
            Layout.fillWidth: true
        }
        SuiteButton {
            objectName: "pendingUpdateButton"
            text: notice.presenter.buttonTitle
            onClicked: notice.presenter.activate()
        }
    }
    Rectangle {
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: 1
        color: Appearance.separator
    }
}
