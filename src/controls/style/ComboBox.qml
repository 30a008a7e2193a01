pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls.Fusion as Fusion

// Fusion's combo box whose list draws its entries as plain text (its field already does): the
// entries are this style's menu items rather than Fusion's own.
Fusion.ComboBox {
    id: control

    delegate: MenuItem {
        required property var model
        required property var modelData
        required property int index

        width: ListView.view.width
        text: control.textRole ? (Array.isArray(control.model) ? modelData[control.textRole] : model[control.textRole])
                               : modelData
        font.weight: control.currentIndex === index ? Font.DemiBold : Font.Normal
        highlighted: control.highlightedIndex === index
        hoverEnabled: control.hoverEnabled
    }
}
