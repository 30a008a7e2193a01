pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Velmor.Controls

// The update framework's own dialog, as the system draws an app's alert: the question, the text,
// and the choices with the default (the last) at the trailing edge. Return picks the default;
// Escape the first choice when there are two.
Rectangle {
    id: alert

    required property var model
    // The framework asks something now.
    readonly property bool asking: model !== null && model.shown
    
    objectName: "updaterAlert"
    width: 420
    height: content.implicitHeight + 40
    radius: 10
    color: Appearance.dark ? "#2c2a28" : "#f6f5f3"
    border.color: Appearance.dark ? "#4a4846" : "#c9c6c0"
    Accessible.role: Accessible.AlertMessage
    Accessible.name: model ? model.title : ""
    Keys.onReturnPressed: alert.model.choose(alert.model.choices.length - 1)
    Keys.onEscapePressed: {
        if (alert.model.choices.length > 1)
            alert.model.choose(0)
    }
    onVisibleChanged: if (visible) forceActiveFocus()

    RowLayout {
        id: content
        anchors.fill: parent
        anchors.margins: 20
        spacing: 16

        ColumnLayout {
            spacing: 8
            Layout.fillWidth: true

            PlainLabel {
                objectName: "updaterAlertTitle"
                text: alert.model ? alert.model.title : ""
                font.pixelSize: 13
                font.weight: Font.Bold
                wrapMode: Text.WordWrap
                Layout.fillWidth: true
            }
            PlainLabel {
                objectName: "updaterAlertText"
                text: alert.model ? alert.model.text : ""
                font.pixelSize: 11
                wrapMode: Text.WordWrap
                Layout.fillWidth: true
            }
            RowLayout {
                spacing: 8
                Layout.topMargin: 8
                Layout.fillWidth: true

                Item {
                    Layout.fillWidth: true
                }
                Repeater {
                    model: alert.model ? alert.model.choices : []
                    delegate: Button {
                        required property string modelData
                        required property int index

                        objectName: "updaterChoice:" + modelData
                        text: modelData
                        highlighted: alert.model !== null && index === alert.model.choices.length - 1
                        Accessible.name: modelData
                        Accessible.onPressAction: alert.model.choose(index)
                        onClicked: alert.model.choose(index)
                    }
                }
            }
        }
    }
}
