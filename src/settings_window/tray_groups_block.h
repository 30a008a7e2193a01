#pragma once

#include "settings_window/tray_group_editor.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>

namespace velmor {

class TrayModel;
class TrayOrganizerAreas;

// The organizer's named groups: the "Custom groups" heading with its add button, the first-group
// prompt while there is none, each group area's options (edit, open or close, delete) and the
// sheet that names a group.
class TrayGroupsBlock final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Part of the organizer's presenter")
    Q_PROPERTY(bool hasGroups READ hasGroups NOTIFY hasGroupsChanged)
    Q_PROPERTY(QString customGroupsTitle READ customGroupsTitle CONSTANT)
    Q_PROPERTY(QString addGroupTitle READ addGroupTitle CONSTANT)
    Q_PROPERTY(QString groupsNote READ groupsNote CONSTANT)
    Q_PROPERTY(QString createFirstGroupTitle READ createFirstGroupTitle CONSTANT)
    Q_PROPERTY(QString editGroupTitle READ editGroupTitle CONSTANT)
    Q_PROPERTY(QString deleteGroupTitle READ deleteGroupTitle CONSTANT)
    Q_PROPERTY(velmor::TrayGroupEditor* editor READ editor CONSTANT)

public:
    static constexpr const char* customGroupsText = "Custom groups";
    static constexpr const char* addGroupText = "Add group";
    static constexpr const char* groupsNoteText = "A separate menu bar button for each group.";
    static constexpr const char* createFirstGroupText = "Create your first group";
    static constexpr const char* editGroupText = "Edit group…";
    static constexpr const char* deleteGroupText = "Delete group";

    // `areas` are the organizer's: a group counts once it has its area.
    TrayGroupsBlock(TrayModel& model, const TrayOrganizerAreas& areas, QObject* parent = nullptr);

    bool hasGroups() const;
    QString customGroupsTitle() const { return QString::fromUtf8(customGroupsText); }
    QString addGroupTitle() const { return QString::fromUtf8(addGroupText); }
    QString groupsNote() const { return QString::fromUtf8(groupsNoteText); }
    QString createFirstGroupTitle() const { return QString::fromUtf8(createFirstGroupText); }
    QString editGroupTitle() const { return QString::fromUtf8(editGroupText); }
    QString deleteGroupTitle() const { return QString::fromUtf8(deleteGroupText); }
    TrayGroupEditor* editor() { return &m_editor; }

    Q_INVOKABLE void openNewGroup();
    Q_INVOKABLE void editGroup(const QString& groupID);
    // Opens or closes the group's own menu bar button; only while grouping is in force.
    Q_INVOKABLE void toggleGroup(const QString& groupID);
    Q_INVOKABLE void deleteGroup(const QString& groupID);

    // The model changed: signals what this block shows differently.
    void update();

Q_SIGNALS:
    void hasGroupsChanged();

private:
    QPointer<TrayModel> m_model;
    const TrayOrganizerAreas& m_areas;
    TrayGroupEditor m_editor;
    bool m_hasGroups = false;
};

} // namespace velmor
