#pragma once

#include <QString>

#include <array>

namespace velmor {

// The suite's usage-event vocabulary. The declaration order is fixed: places are shared by every
// app of the suite, so a new event goes at the end and none is ever reordered.
enum class VelmorEvent {
    appOpened,
    micMuted,
    micUnmuted,
    micMuteFailed,
    micOverrideWarned,
    scribeStarted,
    scribeFinished,
    scribeCancelled,
    scribeFailed,
    scribeExported,
    dictateStarted,
    dictateInserted,
    dictateCancelled,
    dictateFailed,
    clipCaptured,
    clipPasted,
    clipPinned,
    clipCleared,
    consoleOpened,
    consoleCommandRun,
    consoleSnippetSaved,
    trayCollapsed,
    tilesArranged,
    tilesLayoutSaved,
    tilesLayoutRestored,
    tilesSnapped,
    focusStarted,
    focusCompleted,
    focusInterrupted,
    focusBreakSkipped,
    keysShortcutAdded,
    keysShortcutTriggered,
    keysShortcutRemoved,
    keysOverlayShown,
    modelDownloadStarted,
    modelDownloaded,
    modelDownloadFailed,
    modelDeleted,
    onboardingShown,
    onboardingCompleted,
    onboardingSkipped,
    permissionRequested,
    permissionGranted,
    permissionDenied,
    updateFound,
    updateDownloaded,
    updateInstalled,
    updateFailed,
    appUncleanExit,
};

namespace velmor_event {

inline constexpr std::size_t caseCount = 49;

// Every event, in declaration order.
const std::array<VelmorEvent, caseCount>& allCases();

// The name the telemetry service knows the event by.
QString wireName(VelmorEvent event);

} // namespace velmor_event
} // namespace velmor
