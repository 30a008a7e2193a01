pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.Controls

// The system's standard About panel of an app.
Rectangle {
    id: about

    required property var mac

    objectName: "aboutPanel"
    width: 280
    height: 220
    radius: 10
    color: mac.dark ? "#242322" : "#f6f5f3"
    border.color: mac.dark ? "#4a4846" : "#c9c6c0"
    Accessible.role: Accessible.Dialog
    Accessible.name: mac.aboutTitle

    ColumnLayout {
        anchors.centerIn: parent
        spacing: 8
        Image {
            source: about.mac.aboutIconSource
            sourceSize.width: 64
                        sourceSize.height: 64
            Layout.alignment: Qt.AlignHCenter
        }
        PlainLabel {
            text: about.mac.aboutTitle
            font.pixelSize: 16
            font.weight: Font.DemiBold
            Layout.alignment: Qt.AlignHCenter
        }
        PlainLabel {
            text: about.mac.aboutText
            visible: text !== ""
            Layout.alignment: Qt.AlignHCenter
        }
        Button {
            objectName: "aboutClose"
            text: qsTr("OK")
            Layout.alignment: Qt.AlignHCenter
            Accessible.name: text
            Accessible.onPressAction: about.mac.closeAbout()
            onClicked: about.mac.closeAbout()
        }
    }
}
