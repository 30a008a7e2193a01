pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import Velmor.SuiteUi

// The pop-up button that picks the app's own appearance. It shows the item the bound value
// selects each time that value changes, and reports a choice through `chosen`.
ComboBox {
    id: menu

    property string selection: AppearanceChoices.valueAt(0)
    signal chosen(string value)

    objectName: "appearanceMenu"
    model: AppearanceChoices.titles
    currentIndex: AppearanceChoices.indexOf(selection)
    focusPolicy: Qt.StrongFocus
    Accessible.name: AppearanceChoices.accessibleName
    Accessible.description: AppearanceChoices.accessibleHint
    // Assistive technology opens the list with a press and picks an entry with another.
    Accessible.onPressAction: {
        if (menu.enabled)
            menu.popup.open()
    }

    delegate: SuiteMenuItem {
        required property string modelData
        required property int index

        objectName: "appearance:" + modelData
        width: ListView.view.width
        text: modelData
        // The menu may go first when the window closes.
        font.weight: menu?.currentIndex === index ? Font.DemiBold : Font.Normal
        highlighted: menu?.highlightedIndex === index
    }

    onActivated: index => {
        const value = AppearanceChoices.valueAt(index)
        if (value !== "")
            menu.chosen(value)
        // The bound value decides what shows, whatever was clicked.
        menu.currentIndex = Qt.binding(() => AppearanceChoices.indexOf(menu.selection))
    }
}
