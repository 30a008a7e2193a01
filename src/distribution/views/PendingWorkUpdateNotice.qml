import QtQuick
import Velmor.Distribution

// The notice of an app whose work holds the update back; its button resolves that work.
PendingUpdateNotice {
    objectName: "pendingWorkUpdateNotice"
}
