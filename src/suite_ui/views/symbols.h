#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

namespace velmor {

// System symbols for QML: the glyph of a symbol name in the icon font. Views draw symbols
// through SymbolIcon, which reads this.
class Symbols final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QString fontFamily READ fontFamily CONSTANT)

public:
    explicit Symbols(QObject* parent = nullptr);

    static QString fontFamily();
    // Empty for a name without a glyph.
    Q_INVOKABLE static QString glyph(const QString& name);
    // Makes the icon font known to the process; later calls do nothing.
    static void loadFont();
};

} // namespace velmor
