import QtQuick
import QtQuick.Controls
import Velmor.Controls
import QtQuick.Layouts
import Velmor.SuiteUi
import Velmor.SettingsWindow

// One line naming the apps whose menu bar icons no one can see (behind the camera housing, or off
// the bar's end), and the action that shows them below the menu bar. Hidden while all can be seen.
RowLayout {
    id: notice

    required property TrayBelowBarSettings settings

    objectName: "belowBarNotice"
    visible: settings.noticeText !== ""
    spacing: 8

    SymbolIcon {
        symbol: notice.settings.noticeSymbol
        size: 15
        color: Appearance.warning
    }
    PlainLabel {
        objectName: "belowBarNoticeText"
        Layout.fillWidth: true
        // Other apps' names: never markup.
        text: notice.settings.noticeText
        font.pixelSize: 12
        elide: Text.ElideRight
        maximumLineCount: 1
        color: Appearance.text
        Accessible.name: text
    }
    SuiteButton {
        objectName: "showBelowBarButton"
        text: notice.settings.noticeActionTitle
        onClicked: notice.settings.showBelowBar()
    }
}
