#pragma once

#include "foundation/keyed_list_model.h"

#include <QObject>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

namespace velmor::simulated_mac {

class SimulatedDesktop;

// A pane in the sidebar.
struct SettingsPaneRow {
    Q_GADGET

public:
    enum Role : int {
        TitleRole = Qt::UserRole + 1,
        GlyphRole,
    };
    Q_ENUM(Role)

    // The pane's title: the row's key and its title.
    QString key;
    // Its symbol's.
    QString glyph;

    QVariant data(Role role) const;
};

// An app listed in a privacy pane, with its switch.
struct PrivacyAppRow {
    Q_GADGET

public:
    enum Role : int {
        NameRole = Qt::UserRole + 1,
        BundlePathRole,
        AllowedRole,
        IconSourceRole,
    };
    Q_ENUM(Role)

    // The app bundle's path: the row's key and its bundlePath.
    QString key;
    QString name;
    bool allowed = false;
    QString iconSource;

    QVariant data(Role role) const;
};

// An app bundle "+" offers.
struct AddableBundleRow {
    Q_GADGET

public:
    enum Role : int {
        NameRole = Qt::UserRole + 1,
        BundlePathRole,
    };
    Q_ENUM(Role)

    // The app bundle's path: the row's key and its bundlePath.
    QString key;
    QString name;

    QVariant data(Role role) const;
};

// The System Settings stand-in: the three panes the app links to, each listing apps with
// switches that change the simulated permission at once. Full Disk Access takes app bundles
// dropped on its list (file URLs, as from the Finder or the app's drag tile) or chosen after "+".
class SystemSettingsPresenter final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Part of the simulated Mac")
    Q_PROPERTY(bool open READ isOpen NOTIFY paneChanged)
    Q_PROPERTY(int pane READ pane NOTIFY paneChanged)
    Q_PROPERTY(QObject* panes READ panes CONSTANT)
    Q_PROPERTY(QString paneTitle READ paneTitle NOTIFY paneChanged)
    Q_PROPERTY(QString paneNote READ paneNote NOTIFY paneChanged)
    Q_PROPERTY(bool canAdd READ canAdd NOTIFY paneChanged)
    Q_PROPERTY(QString emptyText READ emptyText NOTIFY emptyTextChanged)
    Q_PROPERTY(QObject* rows READ rows CONSTANT)
    Q_PROPERTY(QObject* addable READ addable CONSTANT)

public:
    static constexpr const char* windowTitle = "System Settings";

    SystemSettingsPresenter(SimulatedDesktop& desktop, QObject* parent = nullptr);

    bool isOpen() const { return m_pane >= 0; }
    // The row of `panes`; -1 while closed.
    int pane() const { return m_pane; }
    KeyedListModelOf<SettingsPaneRow>* panes() { return &m_panes; }
    QString paneTitle() const;
    QString paneNote() const;
    bool canAdd() const;
    QString emptyText() const { return m_emptyText; }
    KeyedListModelOf<PrivacyAppRow>* rows() { return &m_rows; }
    // The bundles "+" offers that the list does not hold yet.
    KeyedListModelOf<AddableBundleRow>* addable() { return &m_addable; }

    void refresh();

    Q_INVOKABLE void openPane(int index);
    Q_INVOKABLE void close();
    Q_INVOKABLE bool setSwitch(const QString& bundlePath, bool on);
    // Whether a drop of these URLs would add something: only on the Full Disk Access list, and
    // only local app bundles.
    Q_INVOKABLE bool acceptsDrop(const QList<QUrl>& urls) const;
    Q_INVOKABLE bool drop(const QList<QUrl>& urls);
    Q_INVOKABLE bool add(const QString& bundlePath);

Q_SIGNALS:
    void paneChanged();
    void emptyTextChanged();

private:
    SimulatedDesktop& m_desktop;
    KeyedListModelOf<SettingsPaneRow> m_panes;
    KeyedListModelOf<PrivacyAppRow> m_rows;
    KeyedListModelOf<AddableBundleRow> m_addable;
    int m_pane = -1;
    QString m_emptyText;
};

} // namespace velmor::simulated_mac
