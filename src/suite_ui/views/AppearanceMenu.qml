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

    onActivated: index => {
        const value = AppearanceChoices.valueAt(index)
        if (value !== "")
            menu.chosen(value)
        // The bound value decides what shows, whatever was clicked.
        menu.currentIndex = Qt.binding(() => AppearanceChoices.indexOf(menu.selection))
    }
}
