import QtQuick

// Text that is drawn as it is written. Qt Quick's Text would render anything that looks like
// markup, fetching the images it names, and much of what the app shows comes from elsewhere (other
// apps' names and titles, the update feed, files, scenarios); every text of the app is this one.
Text {
    textFormat: Text.PlainText
}
