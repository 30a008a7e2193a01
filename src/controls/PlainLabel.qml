import QtQuick
import QtQuick.Controls

// A Label (the controls' palette and font) drawn as it is written, for the reason PlainText gives.
Label {
    textFormat: Text.PlainText
}
