#pragma once

#include "settings_window/tray_search_result_model.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>

namespace velmor {

class TrayApp;
class TraySearch;

// The search window: the field, the results as a person types, the chosen one (arrows move it),
// and what Return does with it: the item's menu opens the way the bar below the menu bar opens an
// entry, and the window closes. While the tray is busy it says so and waits. Escape closes.
class TraySearchPresenter final : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("The app makes one for its search window")
    Q_PROPERTY(QString title READ title CONSTANT)
    Q_PROPERTY(QString fieldName READ fieldName CONSTANT)
    Q_PROPERTY(QString clearName READ clearName CONSTANT)
    Q_PROPERTY(QString resultsName READ resultsName CONSTANT)
    Q_PROPERTY(QString query READ query WRITE setQuery NOTIFY changed)
    Q_PROPERTY(velmor::TraySearchResultModel* results READ results CONSTANT)
    Q_PROPERTY(int currentIndex READ currentIndex WRITE setCurrentIndex NOTIFY changed)
    Q_PROPERTY(QString countText READ countText NOTIFY changed)
    Q_PROPERTY(QString emptyText READ emptyText NOTIFY changed)
    Q_PROPERTY(QString statusText READ statusText NOTIFY changed)

public:
    static constexpr const char* titleText = "Search Menu Bar";
    static constexpr const char* fieldText = "Search menu bar items";
    static constexpr const char* clearText = "Clear the search";
    static constexpr const char* resultsText = "Menu bar items";
    static constexpr const char* oneResultText = "1 item";
    static constexpr const char* resultsFormat = "%1 items";
    static constexpr const char* noResultText = "No items";
    static constexpr const char* emptyFormat = "No menu bar items match “%1”";
    static constexpr const char* notReadyText = "Velmor Tray has not looked at the menu bar yet.";

    TraySearchPresenter(TrayApp& app, QObject* parent = nullptr);
    ~TraySearchPresenter() override;

    QString title() const { return QString::fromUtf8(titleText); }
    QString fieldName() const { return QString::fromUtf8(fieldText); }
    QString clearName() const { return QString::fromUtf8(clearText); }
    QString resultsName() const { return QString::fromUtf8(resultsText); }
    QString query() const { return m_query; }
    void setQuery(const QString& query);
    TraySearchResultModel* results() { return &m_results; }
    int currentIndex() const { return m_currentIndex; }
    void setCurrentIndex(int index);
    // How many results there are: what the field tells assistive technology as a person types.
    QString countText() const;
    // Shown instead of the list when nothing matches.
    QString emptyText() const;
    // Why nothing opened yet (the tray is busy, or the item is gone).
    QString statusText() const { return m_status; }

    // The window comes on screen: an empty field, every item listed afresh.
    void reset();
    Q_INVOKABLE void moveSelection(int delta);
    // Return, a click or an accessible press on a result.
    Q_INVOKABLE void activate(int index);
    Q_INVOKABLE void activateCurrent() { activate(m_currentIndex); }
    // Escape: closes the window, and what waited to open no longer does.
    Q_INVOKABLE void close();

Q_SIGNALS:
    void changed();
    // The window should go: an item opened, or Escape.
    void closeRequested();

private:
    TraySearch* search() const;
    void refilter();
    void waitingChanged();

    QPointer<TrayApp> m_app;
    TraySearchResultModel m_results;
    QString m_query;
    int m_currentIndex = -1;
    QString m_status;
    QPointer<TraySearch> m_connected;
};

} // namespace velmor
