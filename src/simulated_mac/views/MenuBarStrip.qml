pragma ComponentBehavior: Bound

import QtQuick
import Velmor.SimulatedMac

// The primary screen's menu bar alone, at full size: what the screenshots of the bar show.
Window {
    id: strip

    required property SimulatedMacPresenter mac

    width: mac.desktopWidth
    height: bar.height
    color: "transparent"

    MenuBarView {
        id: bar
        objectName: "menuBar"
        width: strip.width
        presenter: strip.mac.menuBar
        dark: strip.mac.dark
        symbolFont: strip.mac.symbolFont
        appleGlyph: strip.mac.appleGlyph
        housingX: strip.mac.menuBar.housingX
        housingWidth: strip.mac.menuBar.housingWidth
    }
}
