#include "simulated_mac/views/system_settings_presenter.h"

#include "simulated_mac/simulated_desktop.h"
#include "simulated_mac/views/simulated_icon_provider.h"

#include <QDir>

namespace velmor::platform {
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

const PaneText* textOf(std::optional<Pane> pane)
{
    for (const PaneText& text : paneTexts) {
        if (pane == text.pane)
            return &text;
    }
    return nullptr;
}

// The app bundle a dropped URL names, if it is a local one.
QString bundlePathOf(const QUrl& url)
{
    if (!url.isLocalFile())
        return {};
    const QString path = QDir::cleanPath(url.toLocalFile());
    return path.endsWith(QLatin1String(".app")) && QDir::isAbsolutePath(path) ? path : QString();
}

} // namespace

SystemSettingsPresenter::SystemSettingsPresenter(SimulatedDesktop& desktop, QObject* parent)
    : QObject(parent), m_desktop(desktop)
{
    refresh();
}

bool SystemSettingsPresenter::isOpen() const
{
    return m_desktop.openSettingsPane().has_value();
}

int SystemSettingsPresenter::pane() const
{
    const auto open = m_desktop.openSettingsPane();
    for (int i = 0; i < static_cast<int>(std::size(paneTexts)); ++i) {
        if (open == paneTexts[i].pane)
            return i;
    }
    return -1;
}

QVariantList SystemSettingsPresenter::panes()
{
    QVariantList result;
    for (const PaneText& text : paneTexts)
        result.append(QVariantMap{{QStringLiteral("title"), QString::fromUtf8(text.title)},
                                  {QStringLiteral("symbol"), QString::fromUtf8(text.symbol)}});
    return result;
}

QString SystemSettingsPresenter::paneTitle() const
{
    const PaneText* text = textOf(m_desktop.openSettingsPane());
    return text ? QString::fromUtf8(text->title) : QString();
}

QString SystemSettingsPresenter::paneNote() const
{
    const PaneText* text = textOf(m_desktop.openSettingsPane());
    return text ? QString::fromUtf8(text->note) : QString();
}

QString SystemSettingsPresenter::emptyText() const
{
    const PaneText* text = textOf(m_desktop.openSettingsPane());
    return text && m_rows.isEmpty() ? QString::fromUtf8(text->empty) : QString();
}

bool SystemSettingsPresenter::canAdd() const
{
    return m_desktop.openSettingsPane() == Pane::FullDiskAccess;
}

void SystemSettingsPresenter::refresh()
{
    m_rows.clear();
    m_addable.clear();
    const auto open = m_desktop.openSettingsPane();
    if (open) {
        QStringList listed;
        for (const SimulatedDesktop::PrivacyEntry& entry : m_desktop.privacyEntries(*open)) {
            listed.append(entry.bundlePath);
            m_rows.append(QVariantMap{
                {QStringLiteral("name"), entry.name},
                {QStringLiteral("bundlePath"), entry.bundlePath},
                {QStringLiteral("enabled"), entry.enabled},
                {QStringLiteral("iconSource"),
                 entry.owner.isEmpty() ? QString() : SimulatedIconProvider::source(entry.owner)},
            });
        }
        if (*open == Pane::FullDiskAccess) {
            for (const SimulatedDesktop::PrivacyEntry& bundle : m_desktop.applicationBundles()) {
                if (!listed.contains(bundle.bundlePath))
                    m_addable.append(QVariantMap{{QStringLiteral("name"), bundle.name},
                                                 {QStringLiteral("bundlePath"), bundle.bundlePath}});
            }
        }
    }
    Q_EMIT changed();
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
    if (!canAdd())
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
    return canAdd() && m_desktop.addToFullDiskAccess(bundlePath);
}

} // namespace velmor::platform
