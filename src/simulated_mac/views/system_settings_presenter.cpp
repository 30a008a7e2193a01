#include "simulated_mac/views/system_settings_presenter.h"

#include "platform/system_symbols.h"
#include "simulated_mac/simulated_desktop.h"
#include "simulated_mac/views/simulated_icon_provider.h"

#include <QDir>

#include <utility>

namespace velmor::simulated_mac {
namespace {

using Pane = SimulatedDesktop::SettingsPane;

struct PaneText {
    Pane pane;
    const char* title;
    const char* symbol;
    const char* note;
    const char* empty;
};

constexpr const char* accessibilitySymbol = "accessibility";
constexpr const char* fullDiskAccessSymbol = "lock.shield";
constexpr const char* loginItemsSymbol = "power";

constexpr PaneText paneTexts[] = {
    {Pane::Accessibility, "Accessibility", accessibilitySymbol,
     "Allow the apps below to control your computer.", "No apps have asked to control your computer."},
    {Pane::FullDiskAccess, "Full Disk Access", fullDiskAccessSymbol,
     "Allow the apps below to read and change the system's protected files. Drop an app here or "
     "click + to add it.",
     "No apps. Drop an app here or click + to add one."},
    {Pane::LoginItems, "Login Items", loginItemsSymbol,
     "Allow in the Background: these items may run when you log in.", "No items run in the background."},
};

// The app bundle a dropped URL names, if it is a local one.
QString bundlePathOf(const QUrl& url)
{
    if (!url.isLocalFile())
        return {};
    const QString path = QDir::cleanPath(url.toLocalFile());
    return path.endsWith(QLatin1String(".app")) && QDir::isAbsolutePath(path) ? path : QString();
}

} // namespace

QVariant SettingsPaneRow::data(Role role) const
{
    switch (role) {
    case TitleRole:
        return key;
    case GlyphRole:
        return glyph;
    }
    return {};
}

QVariant PrivacyAppRow::data(Role role) const
{
    switch (role) {
    case NameRole:
        return name;
    case BundlePathRole:
        return key;
    case AllowedRole:
        return allowed;
    case IconSourceRole:
        return iconSource;
    }
    return {};
}

QVariant AddableBundleRow::data(Role role) const
{
    switch (role) {
    case NameRole:
        return name;
    case BundlePathRole:
        return key;
    }
    return {};
}

SystemSettingsPresenter::SystemSettingsPresenter(SimulatedDesktop& desktop, QObject* parent)
    : QObject(parent), m_desktop(desktop), m_panes(this), m_rows(this), m_addable(this)
{
    QList<SettingsPaneRow> panes;
    for (const PaneText& text : paneTexts) {
        panes.append({.key = QString::fromUtf8(text.title),
                      .glyph = platform::SystemSymbols::glyph(QString::fromUtf8(text.symbol)).value_or(QString())});
    }
    m_panes.setRows(panes);
    refresh();
}

QString SystemSettingsPresenter::paneTitle() const
{
    return m_pane >= 0 ? QString::fromUtf8(paneTexts[m_pane].title) : QString();
}

QString SystemSettingsPresenter::paneNote() const
{
    return m_pane >= 0 ? QString::fromUtf8(paneTexts[m_pane].note) : QString();
}

bool SystemSettingsPresenter::canAdd() const
{
    return m_pane >= 0 && paneTexts[m_pane].pane == Pane::FullDiskAccess;
}

void SystemSettingsPresenter::refresh()
{
    const auto open = m_desktop.openSettingsPane();
    int pane = -1;
    for (int i = 0; i < static_cast<int>(std::size(paneTexts)); ++i) {
        if (open == paneTexts[i].pane)
            pane = i;
    }
    QList<PrivacyAppRow> rows;
    QList<AddableBundleRow> addable;
    if (open) {
        QStringList listed;
        for (const SimulatedDesktop::PrivacyEntry& entry : m_desktop.privacyEntries(*open)) {
            listed.append(entry.bundlePath);
            rows.append({.key = entry.bundlePath,
                         .name = entry.name,
                         .allowed = entry.enabled,
                         .iconSource =
                             entry.owner.isEmpty() ? QString() : SimulatedIconProvider::source(entry.owner)});
        }
        if (*open == Pane::FullDiskAccess) {
            for (const SimulatedDesktop::PrivacyEntry& bundle : m_desktop.applicationBundles()) {
                if (!listed.contains(bundle.bundlePath))
                    addable.append({.key = bundle.bundlePath, .name = bundle.name});
            }
        }
    }
    const QString emptyText =
        pane >= 0 && rows.isEmpty() ? QString::fromUtf8(paneTexts[pane].empty) : QString();
    m_rows.setRows(rows);
    m_addable.setRows(addable);
    if (std::exchange(m_pane, pane) != pane)
        Q_EMIT paneChanged();
    if (std::exchange(m_emptyText, emptyText) != emptyText)
        Q_EMIT emptyTextChanged();
}

void SystemSettingsPresenter::openPane(int index)
{
    if (index >= 0 && index < static_cast<int>(std::size(paneTexts)))
        m_desktop.openSystemSettings(paneTexts[index].pane);
}

void SystemSettingsPresenter::close()
{
    m_desktop.closeSystemSettings();
}

bool SystemSettingsPresenter::setSwitch(const QString& bundlePath, bool on)
{
    const auto open = m_desktop.openSettingsPane();
    return open && m_desktop.setPrivacySwitch(*open, bundlePath, on);
}

bool SystemSettingsPresenter::acceptsDrop(const QList<QUrl>& urls) const
{
    if (m_desktop.openSettingsPane() != Pane::FullDiskAccess)
        return false;
    for (const QUrl& url : urls) {
        if (!bundlePathOf(url).isEmpty())
            return true;
    }
    return false;
}

bool SystemSettingsPresenter::drop(const QList<QUrl>& urls)
{
    if (!acceptsDrop(urls))
        return false;
    bool added = false;
    for (const QUrl& url : urls) {
        const QString path = bundlePathOf(url);
        if (!path.isEmpty())
            added = m_desktop.addToFullDiskAccess(path) || added;
    }
    return added;
}

bool SystemSettingsPresenter::add(const QString& bundlePath)
{
    return m_desktop.openSettingsPane() == Pane::FullDiskAccess && m_desktop.addToFullDiskAccess(bundlePath);
}

} // namespace velmor::simulated_mac
