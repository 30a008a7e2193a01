#include "settings_window/tray_areas_block.h"

#include "tray/grouped_app.h"
#include "tray/tray_model.h"
#include "tray/tray_organizer_drop.h"

#include <QSet>
#include <QTimer>

#include <utility>

namespace velmor {

TrayAreasBlock::TrayAreasBlock(TrayModel& model, QObject* parent)
    : QObject(parent), m_model(&model), m_perApp(perApp()), m_busy(busy()),
      m_afterFrame([this](std::function<void()> task) { QTimer::singleShot(0, this, std::move(task)); })
{
    showAreas();
}

void TrayAreasBlock::showAreas()
{
    QHash<QString, QString> drawn;
    if (m_pending)
        drawn.insert(m_pending->bundleID, m_pending->destination);
    m_areas.update(m_model, busy(), drawn);
}

bool TrayAreasBlock::perApp() const
{
    return m_model && m_model->nativePerApp();
}

bool TrayAreasBlock::busy() const
{
    return m_model && m_model->nativeBusy();
}

QString TrayAreasBlock::newBadgeText() const
{
    return QString::fromUtf8(GroupedApp::newBadge);
}

void TrayAreasBlock::update()
{
    showAreas();
    if (const bool now = perApp(); now != m_perApp) {
        m_perApp = now;
        Q_EMIT modeChanged();
    }
    if (const bool now = busy(); now != m_busy) {
        m_busy = now;
        Q_EMIT busyChanged();
    }
}

void TrayAreasBlock::refresh()
{
    if (m_model)
        m_model->refresh();
}

const GroupedApp* TrayAreasBlock::app(const QString& bundleID) const
{
    if (!m_model)
        return nullptr;
    for (const GroupedApp& row : m_model->groupedApps()) {
        if (row.id == bundleID)
            return &row;
    }
    return nullptr;
}

void TrayAreasBlock::move(const QString& bundleID, const QString& destination)
{
    const GroupedApp* row = app(bundleID);
    if (!row || busy() || m_pending || m_model->destination(*row) == destination)
        return;
    m_pending = PendingMove{bundleID, destination};
    // Drawn from the event loop rather than inside the drop: the dragged card's delegate leaves its
    // area with it, and the platform's drag still holds that item until the drop has returned.
    QPointer<TrayAreasBlock> self(this);
    QTimer::singleShot(0, this, [self] {
        if (!self)
            return;
        self->showAreas();
        self->m_afterFrame([self] {
            if (self)
                self->runPendingMove();
        });
    });
}

void TrayAreasBlock::runPendingMove()
{
    const std::optional<PendingMove> pending = std::exchange(m_pending, std::nullopt);
    if (!pending)
        return;
    // The app may have gone, or the controller started work, since the card was drawn.
    const GroupedApp* row = app(pending->bundleID);
    if (m_model && row && !busy() && m_model->destination(*row) != pending->destination) {
        // The model rebuilds its rows as it changes: hand it a copy.
        const GroupedApp copy = *row;
        m_model->setDestination(copy, pending->destination);
    }
    // Wherever the move ended, the areas show the model again.
    showAreas();
}

void TrayAreasBlock::dragEntered(const QString& destination)
{
    setDropTarget(destination);
}

void TrayAreasBlock::dragExited(const QString& destination)
{
    if (m_dropTarget == destination)
        setDropTarget({});
}

void TrayAreasBlock::setDropTarget(const QString& destination)
{
    if (m_dropTarget == destination)
        return;
    m_dropTarget = destination;
    Q_EMIT dropTargetChanged();
}

QStringList TrayAreasBlock::droppedStrings(const QList<QUrl>& urls, bool hasText, const QString& text)
{
    QStringList strings;
    for (const QUrl& url : urls)
        strings.append(url.toString());
    if (strings.isEmpty() && hasText)
        strings.append(text);
    return strings;
}

bool TrayAreasBlock::drop(const QString& destination, const QList<QUrl>& urls, bool hasText, const QString& text)
{
    setDropTarget({});
    const QStringList strings = droppedStrings(urls, hasText, text);
    if (!m_model || busy() || m_pending || strings.size() != 1)
        return false;
    QSet<QString> known;
    for (const GroupedApp& row : m_model->groupedApps())
        known.insert(row.id);
    const auto bundleID = TrayOrganizerDrop::bundleID(strings.front(), known);
    if (!bundleID)
        return false;
    move(*bundleID, destination);
    return true;
}

} // namespace velmor
