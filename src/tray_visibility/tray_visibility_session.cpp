#include "tray_visibility/tray_visibility_session.h"

#include "foundation/uuid_text.h"
#include "tray_visibility/apple_bundle_id.h"
#include "tray_visibility/native_visibility_backend.h"

#include <algorithm>
#include <cmath>

namespace velmor {

namespace {

double boundedTimeout(double seconds)
{
    if (std::isnan(seconds))
        return TrayVisibilitySession::kMinimumTimeout;
    return std::clamp(seconds, TrayVisibilitySession::kMinimumTimeout,
                      TrayVisibilitySession::kMaximumTimeout);
}

void answer(const TrayVisibilityCompletion& completion, std::optional<TrayVisibilityFailure> failure)
{
    if (completion)
        completion(std::move(failure));
}

} // namespace

TrayVisibilitySession::TrayVisibilitySession(platform::Scheduler& scheduler)
    : TrayVisibilitySession(scheduler, std::make_shared<NativeVisibilityBackend>(), kDefaultTimeout)
{}

TrayVisibilitySession::TrayVisibilitySession(platform::Scheduler& scheduler,
                                             std::shared_ptr<TrayVisibilityBackend> backend,
                                             double timeoutSeconds)
    : m_scheduler(scheduler), m_backend(std::move(backend)),
      m_timeout(platform::seconds(boundedTimeout(timeoutSeconds))), m_generation(uuid_text::random()),
      m_anchor(std::make_shared<TrayVisibilitySession*>(this))
{}

TrayVisibilitySession::~TrayVisibilitySession()
{
    m_anchor.reset();
    m_timeoutTask.cancel();
    if (!m_token)
        return;
    // The system must not keep hiding items for a session that no longer exists.
    m_scheduler.post([backend = m_backend, token = std::move(m_token)] { backend->invalidate(*token); });
}

bool TrayVisibilitySession::isAvailable() const
{
    return m_backend->isAvailable();
}

QSet<QString> TrayVisibilitySession::allowedBundleIDs(const QSet<QString>& hidden,
                                                      const QSet<QString>& running, const QString& own)
{
    QSet<QString> allowed{own};
    for (QStringView system : kSystemBundleIDs)
        allowed.insert(system.toString());
    for (const QString& bundleID : running) {
        if (!hidden.contains(bundleID) || isAppleBundleID(bundleID))
            allowed.insert(bundleID);
    }
    return allowed;
}

void TrayVisibilitySession::apply(const QSet<QString>& hiddenBundleIDs, const QSet<QString>& runningBundleIDs,
                                  const QString& ownBundleID, Completion completion)
{
    // A caller may start another request from the `cancelled` answer itself; this call replaces
    // that one too, so no completion is left unanswered and no token is left behind.
    do {
        release();
    } while (m_pendingCompletion || m_token);

    QSet<QString> hidden;
    for (const QString& bundleID : hiddenBundleIDs) {
        if (bundleID != ownBundleID && !isAppleBundleID(bundleID))
            hidden.insert(bundleID);
    }
    if (!hidden.intersects(runningBundleIDs)) {
        answer(completion, std::nullopt);
        return;
    }
    if (!m_backend->isAvailable()) {
        answer(completion, TrayVisibilityError::Case::unavailable);
        return;
    }

    const QUuid request = m_generation;
    const QSet<QString> allowed = allowedBundleIDs(hidden, runningBundleIDs, ownBundleID);
    m_pendingCompletion = std::move(completion);

    auto box = std::make_shared<TokenBox>();
    const std::weak_ptr<TrayVisibilitySession*> session = m_anchor;
    platform::Scheduler* scheduler = &m_scheduler;
    std::weak_ptr<TrayVisibilityBackend> backend = m_backend;
    // Runs on whatever thread the system answers on: it only hands the answer to the scheduler.
    auto onAnswer = [scheduler, session, backend, request,
                     box](std::optional<TrayVisibilityFailure> failure) {
        scheduler->post([session, backend, request, box, failure = std::move(failure)] {
            if (const auto self = session.lock()) {
                (*self)->handleAnswer(request, box, failure);
                return;
            }
            const auto token = box->token.lock();
            const auto owner = backend.lock();
            if (token && owner)
                owner->invalidate(*token);
        });
    };

    std::shared_ptr<TrayVisibilityToken> token = m_backend->activate(allowed, std::move(onAnswer));
    if (!token) {
        finished(request, TrayVisibilityError::Case::unavailable);
        return;
    }
    box->token = token;
    m_token = std::move(token);

    m_timeoutTask = m_scheduler.after(m_timeout, [session, request] {
        if (const auto self = session.lock())
            (*self)->finished(request, TrayVisibilityError::Case::timedOut);
    });
}

void TrayVisibilitySession::handleAnswer(const QUuid& request, const std::shared_ptr<TokenBox>& box,
                                         std::optional<TrayVisibilityFailure> failure)
{
    if (request == m_generation) {
        finished(request, std::move(failure));
        return;
    }
    // An answer to a request that was replaced, released or failed: it must not leave items hidden.
    if (const auto token = box->token.lock())
        m_backend->invalidate(*token);
}

void TrayVisibilitySession::finished(const QUuid& request, std::optional<TrayVisibilityFailure> failure)
{
    if (request != m_generation || !m_pendingCompletion)
        return;
    Completion completion = std::move(m_pendingCompletion);
    m_pendingCompletion = nullptr;
    m_timeoutTask.cancel();
    m_timeoutTask = {};

    if (failure) {
        dropToken();
        m_isActive = false;
        m_generation = uuid_text::random();
    } else {
        m_isActive = true;
    }
    answer(completion, std::move(failure));
}

void TrayVisibilitySession::release()
{
    m_generation = uuid_text::random();
    m_timeoutTask.cancel();
    m_timeoutTask = {};
    dropToken();
    m_isActive = false;
    if (!m_pendingCompletion)
        return;
    Completion completion = std::move(m_pendingCompletion);
    m_pendingCompletion = nullptr;
    answer(completion, TrayVisibilityError::Case::cancelled);
}

void TrayVisibilitySession::dropToken()
{
    if (!m_token)
        return;
    const std::shared_ptr<TrayVisibilityToken> token = std::move(m_token);
    m_token = nullptr;
    m_backend->invalidate(*token);
}

} // namespace velmor
