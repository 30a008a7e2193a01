#pragma once

#include "suite_ui/app_theme.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

namespace velmor {

// The appearance menu's rules for QML: the three items, which one a stored value selects, and
// what choosing an item stores. Any value but "light" and "dark" (a capitalised "Dark" too) shows
// "System", as the windows then follow the system.
class AppearanceChoices final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QStringList titles READ titles CONSTANT)
    Q_PROPERTY(QString pickerLabel READ pickerLabel CONSTANT)
    Q_PROPERTY(QString accessibleName READ accessibleName CONSTANT)
    Q_PROPERTY(QString accessibleHint READ accessibleHint CONSTANT)

public:
    static constexpr const char* systemTitle = "System";
    static constexpr const char* lightTitle = "Light";
    static constexpr const char* darkTitle = "Dark";
    static constexpr const char* pickerText = "Appearance";
    static constexpr const char* accessibleText = "Appearance";
    static constexpr const char* accessibleHelp = "Change the appearance of this app only";

    explicit AppearanceChoices(QObject* parent = nullptr) : QObject(parent) {}

    static QStringList titles();
    QString pickerLabel() const { return QString::fromUtf8(pickerText); }
    QString accessibleName() const { return QString::fromUtf8(accessibleText); }
    QString accessibleHint() const { return QString::fromUtf8(accessibleHelp); }

    // The item a stored value shows: 0, 1 or 2.
    Q_INVOKABLE static int indexOf(const QString& value);
    // The value an item stores; empty for an index that names no item (nothing is stored then).
    Q_INVOKABLE static QString valueAt(int index);
};

} // namespace velmor
