import QtQuick
import Velmor.SuiteUi
import Velmor.Controls

// The app's icon: the bundle's own picture when it has one, else an accent square with the menu
// bar symbol.
Item {
    id: brand

    property string source

    implicitWidth: 54
    implicitHeight: 54

    Image {
        objectName: "brandIconImage"
        anchors.fill: parent
        visible: brand.source !== ""
        source: brand.source
        fillMode: Image.PreserveAspectFit
        sourceSize.width: 128
        sourceSize.height: 128
    }
    Rectangle {
        objectName: "brandIconFallback"
        anchors.fill: parent
        visible: brand.source === ""
        radius: 10
        color: Appearance.controlAccent
        SymbolIcon {
            anchors.fill: parent
            anchors.margins: 10
            symbol: "menubar.rectangle"
            size: Math.min(width, height)
            color: "white"
        }
    }
}
