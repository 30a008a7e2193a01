#pragma once

#include "controls/appearance_palette.h"

#include <QtQml/qqmlregistration.h>

namespace velmor {

// The suite's palette, which every window of the app hands its items (`Appearance.palette:
// SuitePalette`): the running app's own accents and canvas, the suite's warning colour, and the
// neutral text and line colours.
// (The base is named in full: the QML type registration matches it by that name.)
class SuitePalette final : public velmor::AppearancePalette {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    explicit SuitePalette(QObject* parent = nullptr);
};

} // namespace velmor
