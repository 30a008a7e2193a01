#pragma once

#include <QColor>
#include <QObject>
#include <QtQml/qqmlregistration.h>

namespace velmor {

// The suite's palette for QML, each colour resolved for the appearance of the window that draws
// it: the app's accents and canvas from AppTheme, and the neutral text and line colours.
class Theme final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    explicit Theme(QObject* parent = nullptr) : QObject(parent) {}

    Q_INVOKABLE static QColor accent(bool dark);
    Q_INVOKABLE static QColor controlAccent(bool dark);
    Q_INVOKABLE static QColor warning(bool dark);
    Q_INVOKABLE static QColor canvas(bool dark);
    Q_INVOKABLE static QColor text(bool dark);
    Q_INVOKABLE static QColor secondaryText(bool dark);
    Q_INVOKABLE static QColor separator(bool dark);
    Q_INVOKABLE static QColor controlBackground(bool dark);
    // Something the user asked for happened (the system's green).
    Q_INVOKABLE static QColor success(bool dark);
    // Failures the user should read (the system's red).
    Q_INVOKABLE static QColor critical(bool dark);
    // Laid over a window while a sheet covers it: a dark window needs a deeper shade to show it.
    Q_INVOKABLE static QColor dimming(bool dark);
};

} // namespace velmor
