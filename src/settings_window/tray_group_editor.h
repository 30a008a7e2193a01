#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <QtQml/qqmlregistration.h>

#include <functional>
#include <optional>

namespace velmor {

// The group editor sheet: a new group or an existing one, its name and one of the twelve group
// symbols. It keeps only the sheet's editing state; saving hands the fields to the model.
class TrayGroupEditor final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Part of the organizer")
    Q_PROPERTY(bool open READ isOpen NOTIFY openChanged)
    Q_PROPERTY(QString title READ title NOTIFY changed)
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY changed)
    Q_PROPERTY(QString symbol READ symbol WRITE setSymbol NOTIFY changed)
    Q_PROPERTY(QStringList symbols READ symbols CONSTANT)
    Q_PROPERTY(bool canSave READ canSave NOTIFY changed)
    Q_PROPERTY(QString nameLabel READ nameLabel CONSTANT)
    Q_PROPERTY(QString iconLabel READ iconLabel CONSTANT)
    Q_PROPERTY(QString cancelTitle READ cancelTitle CONSTANT)
    Q_PROPERTY(QString saveTitle READ saveTitle CONSTANT)

public:
    static constexpr const char* newTitle = "New group";
    static constexpr const char* editTitle = "Edit group";
    static constexpr const char* nameFieldLabel = "Group name";
    static constexpr const char* iconFieldLabel = "Menu bar icon";
    static constexpr const char* cancelButton = "Cancel";
    static constexpr const char* saveButton = "Save";
    static constexpr const char* initialSymbol = "sparkles";

    // Called with the group being edited (none for a new one), the name and the symbol.
    using Save = std::function<void(const std::optional<QUuid>&, const QString&, const QString&)>;

    explicit TrayGroupEditor(Save save, QObject* parent = nullptr);

    void openNew();
    void openExisting(const QUuid& id, const QString& name, const QString& symbol);

    bool isOpen() const { return m_open; }
    const std::optional<QUuid>& editingGroupID() const { return m_editingGroupID; }
    QString title() const;
    QString name() const { return m_name; }
    void setName(const QString& name);
    QString symbol() const { return m_symbol; }
    void setSymbol(const QString& symbol);
    static QStringList symbols();
    // A name of only white space cannot be saved.
    bool canSave() const { return !m_name.trimmed().isEmpty(); }
    QString nameLabel() const { return QString::fromUtf8(nameFieldLabel); }
    QString iconLabel() const { return QString::fromUtf8(iconFieldLabel); }
    QString cancelTitle() const { return QString::fromUtf8(cancelButton); }
    QString saveTitle() const { return QString::fromUtf8(saveButton); }

    // Return in the sheet: does nothing while the name is blank.
    Q_INVOKABLE void save();
    // Escape, or "Cancel".
    Q_INVOKABLE void cancel();

Q_SIGNALS:
    void openChanged();
    void changed();

private:
    void setOpen(bool open);

    Save m_save;
    bool m_open = false;
    std::optional<QUuid> m_editingGroupID;
    QString m_name;
    QString m_symbol = QString::fromLatin1(initialSymbol);
};

} // namespace velmor
