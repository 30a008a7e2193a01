pragma ComponentBehavior: Bound

import QtQuick
import Velmor.SimulatedMac
import Velmor.Controls

// The primary screen's menu bar alone, at full size: what the screenshots of the bar show.
Window {
    id: strip

    required property SimulatedMacPresenter mac

    width: mac.desktopWidth
    height: bar.height
    color: "transparent"
    Appearance.dark: strip.mac.dark

    MenuBarView {
        id: bar
        objectName: "menuBar"
        width: strip.width
        presenter: strip.mac.menuBar
        symbolFont: strip.mac.symbolFont
        appleGlyph: strip.mac.appleGlyph
        housingX: strip.mac.menuBar.housingX
        housingWidth: strip.mac.menuBar.housingWidth
    }
}
