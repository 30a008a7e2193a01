import QtQuick
import QtQuick.Controls

// An entry of the suite's menus: assistive technology can press it, which triggers it as a click
// does (and closes its menu), only while it is enabled.
MenuItem {
    id: control

    Accessible.name: text
    Accessible.onPressAction: {
        if (control.enabled)
            control.clicked()
    }
}
