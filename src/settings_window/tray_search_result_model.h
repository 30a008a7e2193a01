#pragma once

#include "tray/tray_search.h"

#include <QAbstractListModel>
#include <QtQml/qqmlregistration.h>

namespace velmor {

// The search's results, one row each: the app's name and icon, the item's title or description,
// where the item is, and the whole as the row's accessible name. Other apps' texts: the view draws
// them as plain text.
class TraySearchResultModel final : public QAbstractListModel {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The search makes one")

public:
    enum Role : int {
        ItemIDRole = Qt::UserRole + 1,
        BundleIDRole,
        AppNameRole,
        TitleRole,
        PlacementRole,
        IconSourceRole,
        AccessibleNameRole,
    };
    Q_ENUM(Role)

    static constexpr const char* accessibleSeparator = ", ";

    explicit TraySearchResultModel(QObject* parent);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Takes the new results; the rows both share at their start stay, the rest is reported row by
    // row, so a view redraws only what changed as a person types.
    void setResults(const QList<TraySearch::Result>& results);
    const QList<TraySearch::Result>& results() const { return m_results; }

private:
    QList<TraySearch::Result> m_results;
};

} // namespace velmor
