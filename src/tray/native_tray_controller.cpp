#include "tray/native_tray_controller.h"

#include "foundation/error_value.h"
#include "platform/accessibility.h"
#include "platform/host.h"
#include "platform/mouse_events.h"
#include "platform/screen_geometry.h"
#include "platform/screens.h"
#include "platform/services.h"
#include "platform/status_bar.h"
#include "platform/user_defaults.h"
#include "suite_ui/velmor_signals.h"
#include "tray/tray_bundle_rules.h"
#include "tray/tray_group_target.h"
#include "tray/tray_manual_drag_policy.h"
#include "tray_visibility/tray_position_preferences.h"
#include "tray_visibility/tray_preference_visibility.h"

#include <QPointer>

#include <cmath>

namespace velmor {
namespace {

bool finiteEdges(const QRectF& rect)
{
    return std::isfinite(rect.left()) && std::isfinite(rect.right()) && std::isfinite(rect.top()) &&
           std::isfinite(rect.bottom());
}

// Rules 2 and 3 of the order check: the marker ends where the chevron begins at the latest, and
// both sit on the same menu bar.
bool orderedOnOneBar(const QRectF& hidden, const QRectF& regular)
{
    return hidden.right() <= regular.left() && std::abs(hidden.center().y() - regular.center().y()) < 8;
}

} // namespace

NativeTrayController::NativeTrayController(const platform::Services& services, const QString& autosavePrefix,
                                           platform::UserDefaults& defaults, std::function<void()> onChange,
                                           std::function<void()> openSettings, std::function<void()> quit,
                                           QObject* parent)
    : QObject(parent), m_services(services), m_onChange(std::move(onChange)),
      m_openSettings(std::move(openSettings)), m_quit(std::move(quit)), m_defaults(defaults),
      m_autosavePrefix(autosavePrefix), m_preferenceKey(autosavePrefix + text(stateSuffix)),
      m_osMajor(services.host->systemVersion().major)
{
    m_regularItem = createChevronItem(m_autosavePrefix + text(regularSuffix));

    m_hiddenItem = createOwnItem(compactLength, m_autosavePrefix + text(hiddenSuffix), 1);
    if (platform::StatusButton* button = m_hiddenItem->button()) {
        button->setTitle(text(markerTitle));
        button->setImagePosition(platform::ImagePosition::NoImage);
        QPointer<NativeTrayController> self(this);
        button->setAction(
            [self] {
                if (self)
                    self->showSettings();
            },
            platform::ButtonTrigger::LeftMouseUp);
    }
    updateLabels();

    if (!perAppMode()) {
        const QVariantMap saved = m_defaults.dictionaryValue(m_preferenceKey).value_or(QVariantMap{});
        const QVariant configured = saved.value(text(configuredEntry));
        if (configured.typeId() == QMetaType::Bool && configured.toBool()) {
            const QVariant expanded = saved.value(text(expandedEntry));
            startLaunchRestore(expanded.typeId() == QMetaType::Bool ? expanded.toBool() : true);
        }
        return;
    }

    m_hiddenItem->setVisible(false);
    const std::optional<ErrorValue> released = visibility().release();
    m_warning = released ? released->description() : text(reviewGroupsWarning);
    installLaunchObserver();
    apply();
    installMouseMonitors();
}

NativeTrayController::~NativeTrayController()
{
    m_restorationTask.cancel();
    m_manualDragTask.cancel();
}

std::shared_ptr<platform::StatusItem>
NativeTrayController::createOwnItem(double length, const QString& autosaveName, int rank)
{
    // In marker mode the items' places define the sections (left of the marker hidden, right of
    // the chevron always visible): made at the right end, every icon would start out hidden. There
    // they go where the system puts new items, and the person arranges them.
    const QString key = platform::StatusBar::preferredPositionKey(autosaveName);
    const QVariant known = m_defaults.value(key);
    if (perAppMode() && (!known.isValid() || !known.canConvert<double>()))
        m_defaults.setValue(key, ownItemsPositionStep * (rank + 1));
    std::shared_ptr<platform::StatusItem> item = m_services.statusBar->createItem(length);
    item->setAutosaveName(autosaveName);
    return item;
}

QString NativeTrayController::ownItemKey(const QString& autosaveName) const
{
    return text(statusKeyPrefix) + ownBundleID() + text(statusKeySeparator) + autosaveName;
}

std::shared_ptr<platform::StatusItem> NativeTrayController::createChevronItem(const QString& autosaveName)
{
    std::shared_ptr<platform::StatusItem> item = createOwnItem(compactLength, autosaveName, 0);
    if (platform::StatusButton* button = item->button()) {
        button->setSymbolImage(text(expandedSymbol), text(accessibilityDescription));
        button->setImagePosition(platform::ImagePosition::ImageRight);
        QPointer<NativeTrayController> self(this);
        button->setAction(
            [self] {
                if (self)
                    self->clicked();
            },
            platform::ButtonTrigger::LeftAndRightMouseUp);
    }
    return item;
}

void NativeTrayController::startLaunchRestore(bool savedExpanded)
{
    const platform::TimePoint giveUpAt =
        m_services.scheduler->now() + platform::seconds(launchRestoreDelay + launchRestoreLimit);
    scheduleLaunchRestore(launchRestoreDelay, savedExpanded, giveUpAt, m_activationGeneration);
}

void NativeTrayController::scheduleLaunchRestore(double delay, bool savedExpanded,
                                                 platform::TimePoint giveUpAt, quint64 generation)
{
    QPointer<NativeTrayController> self(this);
    m_restorationTask = m_services.scheduler->after(platform::seconds(delay), [self, savedExpanded, giveUpAt,
                                                                               generation] {
        if (!self || self->m_activationGeneration != generation || self->m_managing || !self->m_regularItem)
            return;
        if (self->validOrder()) {
            self->m_configured = true;
            self->m_expanded = savedExpanded;
            self->apply();
            return;
        }
        // At login, or with the display asleep, the bar may not be laid out yet: that says nothing
        // about the user's arrangement, so it is not given up until the bar has had time to appear.
        if (!self->itemsLaidOut() && self->m_services.scheduler->now() < giveUpAt) {
            self->scheduleLaunchRestore(launchRestoreRetryInterval, savedExpanded, giveUpAt, generation);
            return;
        }
        self->m_managing = false;
        self->m_configured = false;
        self->m_expanded = true;
        self->m_warning = text(invalidOrderWarning);
        self->apply();
    });
}

bool NativeTrayController::itemsLaidOut() const
{
    for (const auto* item : {m_hiddenItem.get(), m_regularItem.get()}) {
        const auto frame = item ? item->buttonWindowFrame() : std::nullopt;
        if (!frame || !finiteEdges(*frame) || frame->width() <= 0 || frame->height() <= 0)
            return false;
    }
    return true;
}

void NativeTrayController::clicked()
{
    if (m_services.mouseEvents->currentEventType() != platform::MouseEventType::RightMouseUp) {
        toggle();
        return;
    }
    QPointer<NativeTrayController> self(this);
    auto action = [self](void (NativeTrayController::*method)()) {
        return [self, method] {
            if (self)
                (self.data()->*method)();
        };
    };
    platform::Menu menu;
    menu.append({text(settingsMenuTitle), action(&NativeTrayController::showSettings)});
    if (m_search)
        menu.append({text(searchMenuTitle), [self] {
                         if (self && self->m_search)
                             self->m_search();
                     }});
    if (perAppMode())
        menu.append({text(revealMenuTitle), action(&NativeTrayController::revealAction)});
    else
        menu.append({text(arrangeMenuTitle), action(&NativeTrayController::arrange)});
    menu.append(platform::MenuItem::makeSeparator());
    menu.append({text(quitMenuTitle), action(&NativeTrayController::quitAction)});

    // Attached only while the click opens it, so that later left clicks reach clicked() again.
    const std::shared_ptr<platform::StatusItem> item = m_regularItem;
    if (!item)
        return;
    item->setMenu(menu);
    if (platform::StatusButton* button = item->button())
        button->performClick();
    item->setMenu(std::nullopt);
}

void NativeTrayController::showSettings()
{
    if (m_openSettings)
        m_openSettings();
}

void NativeTrayController::arrange()
{
    beginManaging();
    showSettings();
}

void NativeTrayController::revealAction()
{
    revealAll(std::nullopt);
}

void NativeTrayController::quitAction()
{
    if (m_quit)
        m_quit();
}

void NativeTrayController::toggle()
{
    if (m_busy)
        return;
    m_peek.clear();
    if (perAppMode()) {
        if (m_configured)
            applyVisibility(!m_expanded, std::nullopt, false, false);
        else
            showSettings();
        return;
    }
    if (m_configured && !m_managing) {
        m_expanded = !m_expanded;
        apply();
        if (!m_expanded)
            recordCollapse();
        return;
    }
    beginManaging();
    m_warning = text(arrangeWarning);
    showSettings();
    if (m_onChange)
        m_onChange();
}

void NativeTrayController::apply()
{
    double markerLength = compactLength;
    double chevronLength = compactLength;
    if (!perAppMode()) {
        const bool revealed = m_managing || !m_configured;
        markerLength = revealed ? compactLength : stretchedLength;
        chevronLength = revealed || m_expanded ? compactLength : stretchedLength;
    }
    if (m_hiddenItem)
        m_hiddenItem->setLength(markerLength);
    if (m_regularItem)
        m_regularItem->setLength(chevronLength);
    updateLabels();
    if (!perAppMode() && !m_managing) {
        const QVariantMap state{{text(configuredEntry), m_configured}, {text(expandedEntry), m_expanded}};
        if (m_defaults.dictionaryValue(m_preferenceKey) != state)
            m_defaults.setValue(m_preferenceKey, state);
    }
    if (m_onChange)
        m_onChange();
}

void NativeTrayController::updateLabels()
{
    updateNamedLabels();
    if (m_regularItem) {
        if (platform::StatusButton* button = m_regularItem->button()) {
            const bool collapsed = !m_expanded && !m_managing && m_configured;
            button->setSymbolImage(text(collapsed ? collapsedSymbol : expandedSymbol),
                                   text(accessibilityDescription));
            button->setToolTip(text(chevronToolTip));
        }
    }
    if (m_hiddenItem) {
        if (platform::StatusButton* button = m_hiddenItem->button())
            button->setToolTip(text(markerToolTip));
    }
}

void NativeTrayController::beginManaging()
{
    if (perAppMode()) {
        revealAll(std::nullopt);
        showSettings();
        return;
    }
    if (m_managing)
        return;
    // Arranging is this mode's reveal-all: whatever was pending at launch no longer applies.
    ++m_activationGeneration;
    m_restorationTask.cancel();
    m_restorationTask = {};
    m_previousExpanded = m_expanded;
    m_managing = true;
    m_warning.reset();
    apply();
}

bool NativeTrayController::endManaging()
{
    if (perAppMode() || !m_managing)
        return m_configured;
    const bool valid = validOrder();
    m_managing = false;
    if (!valid) {
        m_configured = false;
        m_expanded = true;
        m_warning = text(invalidOrderWarning);
        apply();
        return false;
    }
    m_configured = true;
    m_expanded = m_previousExpanded;
    m_warning.reset();
    apply();
    return true;
}

bool NativeTrayController::validOrder() const
{
    if (!m_hiddenItem || !m_regularItem)
        return false;
    const auto hidden = m_hiddenItem->buttonWindowFrame();
    const auto regular = m_regularItem->buttonWindowFrame();
    return hidden && regular && validCompactOrder(*hidden, *regular);
}

bool NativeTrayController::validCompactOrder(const QRectF& hidden, const QRectF& regular)
{
    for (const QRectF& frame : {hidden, regular}) {
        if (!finiteEdges(frame) || frame.width() <= 0 || frame.width() > 32 || frame.height() <= 0)
            return false;
    }
    return orderedOnOneBar(hidden, regular);
}

std::optional<TraySection> NativeTrayController::section(const QRectF& frame, const QRectF& hidden,
                                                         const QRectF& regular)
{
    if (!finiteEdges(frame) || frame.width() <= 0 || frame.height() <= 0)
        return std::nullopt;
    if (!orderedOnOneBar(hidden, regular))
        return std::nullopt;
    const QPointF centre = frame.center();
    if (std::abs(centre.y() - regular.center().y()) > std::max(regular.height(), frame.height()))
        return std::nullopt;
    if (TrayManualDragPolicy::contains(hidden, centre) || TrayManualDragPolicy::contains(regular, centre))
        return std::nullopt;
    if (centre.x() < hidden.left())
        return TraySection::alwaysHidden;
    if (centre.x() < regular.left())
        return TraySection::expandable;
    return TraySection::alwaysVisible;
}

std::optional<TraySection> NativeTrayController::classify(const QRectF& frame) const
{
    if (m_configured && !m_managing)
        return std::nullopt;
    if (!m_hiddenItem || !m_regularItem)
        return std::nullopt;
    const auto hidden = m_hiddenItem->buttonWindowFrame();
    const auto regular = m_regularItem->buttonWindowFrame();
    const QList<QRectF> screens = m_services.screens->frames();
    if (!hidden || !regular || screens.isEmpty())
        return std::nullopt;
    const QRectF converted = *platform::ScreenGeometry::toScreen(frame, screens);
    for (const QRectF& screen : screens) {
        if (!TrayManualDragPolicy::contains(screen, regular->center()))
            continue;
        if (!TrayManualDragPolicy::contains(screen, converted.center()))
            return std::nullopt;
        return section(converted, *hidden, *regular);
    }
    return std::nullopt;
}

void NativeTrayController::recordCollapse()
{
    if (VelmorSignals* hub = VelmorSignals::shared())
        hub->track(VelmorEvent::trayCollapsed);
}

bool NativeTrayController::trusted() const
{
    return m_services.accessibility->isProcessTrusted();
}

QString NativeTrayController::ownBundleID() const
{
    return tray_bundle_rules::ownBundleID(m_services.host->mainBundle().identifier());
}

} // namespace velmor
