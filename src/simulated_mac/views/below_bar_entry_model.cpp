#include "simulated_mac/views/below_bar_entry_model.h"

#include "foundation/list_roles.h"
#include "simulated_mac/simulated_below_bar_panel.h"
#include "simulated_mac/views/simulated_icon_provider.h"

namespace velmor::simulated_mac {

BelowBarEntryModel::BelowBarEntryModel(QObject* parent) : QAbstractListModel(parent) {}

int BelowBarEntryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

QVariant BelowBarEntryModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const platform::BelowBarPanel::Entry& entry = m_entries.at(index.row());
    // Every role has its case, so a new role without a value is a compiler warning; any other
    // number falls through to nothing.
    switch (static_cast<Role>(role)) {
    case NameRole:
        return entry.name;
    case IconSourceRole:
        return SimulatedIconProvider::source(entry.bundleID);
    case BundleIDRole:
        return entry.bundleID;
    case LabelRole:
        return entry.label;
    case ToolTipRole:
        return entry.accessibleName();
    case EntryWidthRole:
        return SimulatedBelowBarPanel::entryWidth(entry);
    }
    return {};
}

QHash<int, QByteArray> BelowBarEntryModel::roleNames() const
{
    return listRoleNames<Role>();
}

void BelowBarEntryModel::setEntries(const QList<platform::BelowBarPanel::Entry>& entries)
{
    if (entries == m_entries)
        return;
    // The rows both lists share at their start stay; only what differs is changed.
    qsizetype kept = 0;
    while (kept < m_entries.size() && kept < entries.size() && m_entries[kept] == entries[kept])
        ++kept;
    if (kept < m_entries.size()) {
        beginRemoveRows({}, static_cast<int>(kept), static_cast<int>(m_entries.size() - 1));
        m_entries.resize(kept);
        endRemoveRows();
    }
    if (kept < entries.size()) {
        beginInsertRows({}, static_cast<int>(kept), static_cast<int>(entries.size() - 1));
        m_entries.append(entries.mid(kept));
        endInsertRows();
    }
}

} // namespace velmor::simulated_mac
