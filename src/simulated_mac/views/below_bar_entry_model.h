#pragma once

#include "platform/below_bar_panel.h"

#include <QAbstractListModel>
#include <QtQml/qqmlregistration.h>

namespace velmor::simulated_mac {

// The entries of the bar below the menu bar, one row each: the item's name, its app's icon from
// the workspace, the title it draws (beside the icon), "App — item" as its tooltip and accessible
// name (another app's text, drawn as plain text) and the entry's width.
class BelowBarEntryModel final : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Part of the simulated Mac")

public:
    enum Role : int {
        NameRole = Qt::UserRole + 1,
        IconSourceRole,
        BundleIDRole,
        LabelRole,
        ToolTipRole,
        EntryWidthRole
    };
    Q_ENUM(Role)

    explicit BelowBarEntryModel(QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Takes what the panel shows now; rows that stay are kept, the rest is reported row by row.
    void setEntries(const QList<platform::BelowBarPanel::Entry>& entries);

private:
    QList<platform::BelowBarPanel::Entry> m_entries;
};

} // namespace velmor::simulated_mac
