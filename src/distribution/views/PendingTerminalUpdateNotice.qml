import QtQuick
import Velmor.Distribution

// The notice of an app whose open sessions hold the update back; its button closes them and
// updates.
PendingUpdateNotice {
    objectName: "pendingTerminalUpdateNotice"
}
