import QtQuick
import QtQuick.Controls
import Velmor.Controls
import QtQuick.Layouts
import Velmor.SuiteUi
import Velmor.SettingsWindow

// One line saying that Velmor Tray's own icons cannot be seen, and how to reach the app; in
// marker mode with the action that makes room for the chevron. Hidden while they can be seen.
RowLayout {
    id: notice

    required property TrayBelowBarSettings settings

    objectName: "ownItemsNotice"
    visible: settings.ownNoticeText !== ""
    spacing: 8

    SymbolIcon {
        symbol: notice.settings.noticeSymbol
        size: 15
        color: Appearance.warning
    }
    PlainLabel {
        objectName: "ownItemsNoticeText"
        Layout.fillWidth: true
        // Names another app: never markup.
        text: notice.settings.ownNoticeText
        font.pixelSize: 12
        wrapMode: Text.WordWrap
        color: Appearance.text
        Accessible.name: text
    }
    SuiteButton {
        objectName: "makeRoomButton"
        visible: notice.settings.ownOfferTitle !== ""
        text: notice.settings.ownOfferTitle
        onClicked: notice.settings.acceptOwnOffer()
    }
}
