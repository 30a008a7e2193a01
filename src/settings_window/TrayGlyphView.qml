import QtQuick
import QtQuick.Controls
import Velmor.SuiteUi
import Velmor.Controls

// One discovered menu bar extra in marker mode: its app's icon, or a dashed placeholder.
Item {
    id: glyph

    required property string itemID
    required property string title
    required property string iconSource

    objectName: "glyph:" + itemID
    implicitWidth: 30
    implicitHeight: 30
    Accessible.role: Accessible.Graphic
    Accessible.name: title

    Image {
        anchors.fill: parent
        visible: glyph.iconSource !== ""
        source: glyph.iconSource
        sourceSize.width: 60
        sourceSize.height: 60
    }
    SymbolIcon {
        anchors.centerIn: parent
        visible: glyph.iconSource === ""
        symbol: "app.dashed"
        size: 26
        color: Appearance.secondaryText
    }
    HoverHandler { id: hover }
    ToolTip.visible: hover.hovered
    ToolTip.delay: 600
    ToolTip.text: title
}
