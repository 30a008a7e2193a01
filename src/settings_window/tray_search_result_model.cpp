#include "settings_window/tray_search_result_model.h"

#include "foundation/list_roles.h"
#include "suite_ui/views/app_icon_provider.h"

namespace velmor {
namespace {

bool sameRow(const TraySearch::Result& a, const TraySearch::Result& b)
{
    return a.itemID == b.itemID && a.appName == b.appName && a.title == b.title &&
           a.placement == b.placement && a.hasIcon == b.hasIcon;
}

} // namespace

TraySearchResultModel::TraySearchResultModel(QObject* parent) : QAbstractListModel(parent) {}

int TraySearchResultModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_results.size());
}

QVariant TraySearchResultModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const TraySearch::Result& result = m_results.at(index.row());
    // Every role has its case, so a new role without a value is a compiler warning; any other
    // number falls through to nothing.
    switch (static_cast<Role>(role)) {
    case ItemIDRole:
        return result.itemID;
    case BundleIDRole:
        return result.bundleID;
    case AppNameRole:
        return result.appName;
    case TitleRole:
        return result.title;
    case PlacementRole:
        return result.placement;
    case IconSourceRole:
        return result.hasIcon ? QStringLiteral("image://%1/%2")
                                    .arg(QString::fromLatin1(AppIconProvider::providerId), result.bundleID)
                              : QString();
    case AccessibleNameRole: {
        QStringList parts{result.title};
        if (result.appName != result.title)
            parts.append(result.appName);
        parts.append(result.placement);
        return parts.join(QString::fromUtf8(accessibleSeparator));
    }
    }
    return {};
}

QHash<int, QByteArray> TraySearchResultModel::roleNames() const
{
    return listRoleNames<Role>();
}

void TraySearchResultModel::setResults(const QList<TraySearch::Result>& results)
{
    qsizetype kept = 0;
    while (kept < m_results.size() && kept < results.size() && sameRow(m_results[kept], results[kept]))
        ++kept;
    if (kept == m_results.size() && kept == results.size())
        return;
    if (kept < m_results.size()) {
        beginRemoveRows({}, static_cast<int>(kept), static_cast<int>(m_results.size() - 1));
        m_results.resize(kept);
        endRemoveRows();
    }
    if (kept < results.size()) {
        beginInsertRows({}, static_cast<int>(kept), static_cast<int>(results.size() - 1));
        m_results.append(results.mid(kept));
        endInsertRows();
    }
}

} // namespace velmor
