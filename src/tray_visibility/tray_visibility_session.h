#pragma once

#include "platform/scheduler.h"
#include "platform/task_handle.h"
#include "tray_visibility/tray_visibility_backend.h"

#include <QSet>
#include <QString>
#include <QStringView>
#include <QUuid>

#include <array>
#include <memory>

namespace velmor {

// One timed request that keeps only an allow-list of apps visible in the menu bar, for as long
// as the session holds the system's token. Lives on the scheduler's thread: every answer, from
// whatever thread the system gives it, is handled there, so the scheduler must outlive the
// backend's answers.
//
// Each completion passed to apply() is called exactly once while the session lives: nil once the
// system confirms, or a failure (the system's error unchanged, or a TrayVisibilityError case).
// A request still in flight when the session is destroyed is not answered.
class TrayVisibilitySession final {
public:
    using Completion = TrayVisibilityCompletion;

    // Seconds.
    static constexpr double kDefaultTimeout = 3.0;
    static constexpr double kMinimumTimeout = 0.01;
    // Longer waits cannot be meant, and keep the deadline within the clock's range.
    static constexpr double kMaximumTimeout = 24 * 60 * 60;

    // The system's own menu bar apps, always allowed.
    static constexpr std::array<QStringView, 5> kSystemBundleIDs = {
        u"com.apple.notificationcenterui", u"com.apple.controlcenter",   u"com.apple.systemuiserver",
        u"com.apple.MenuBarAgent",         u"com.apple.ScreenMirroring",
    };

    // The native backend, waiting kDefaultTimeout for the system.
    explicit TrayVisibilitySession(platform::Scheduler& scheduler);
    // A time-out below kMinimumTimeout (or not a number) waits kMinimumTimeout; without a backend
    // the native one is used.
    TrayVisibilitySession(platform::Scheduler& scheduler, std::shared_ptr<TrayVisibilityBackend> backend,
                          double timeoutSeconds);
    ~TrayVisibilitySession();

    TrayVisibilitySession(const TrayVisibilitySession&) = delete;
    TrayVisibilitySession& operator=(const TrayVisibilitySession&) = delete;

    bool isAvailable() const;
    // True only while the system has confirmed the current request.
    bool isActive() const { return m_isActive; }

    // Replaces any earlier request (answering it with `cancelled` if it is still in flight) with
    // one that hides the running apps among `hiddenBundleIDs`. The app itself and Apple's apps
    // are never hidden; with nothing left to hide the completion gets nil at once.
    void apply(const QSet<QString>& hiddenBundleIDs, const QSet<QString>& runningBundleIDs,
               const QString& ownBundleID, Completion completion);

    // Gives the system's token back and answers a request in flight with `cancelled`.
    void release();

    // The apps that stay visible: the app itself, the system's menu bar apps, every running app
    // not to be hidden, and every running Apple app.
    static QSet<QString> allowedBundleIDs(const QSet<QString>& hidden, const QSet<QString>& running,
                                          const QString& own);

private:
    // Lets a late answer reach its token without keeping it alive.
    struct TokenBox {
        std::weak_ptr<TrayVisibilityToken> token;
    };
    // Answers check this before touching the session, which may be gone by the time they run.
    using Anchor = std::shared_ptr<TrayVisibilitySession*>;

    void finished(const QUuid& request, std::optional<TrayVisibilityFailure> failure);
    void handleAnswer(const QUuid& request, const std::shared_ptr<TokenBox>& box,
                      std::optional<TrayVisibilityFailure> failure);
    void dropToken();

    platform::Scheduler& m_scheduler;
    bool m_isActive = false;
    std::shared_ptr<TrayVisibilityBackend> m_backend;
    platform::Duration m_timeout;
    // The identity of the current request; replaced whenever a request ends without success.
    QUuid m_generation;
    std::shared_ptr<TrayVisibilityToken> m_token;
    platform::TaskHandle m_timeoutTask;
    Completion m_pendingCompletion;
    Anchor m_anchor;
};

} // namespace velmor
