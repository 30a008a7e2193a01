#pragma once

#include "telemetry/app_signal_context.h"
#include "telemetry/navrel_configuration.h"
#include "telemetry/navrel_session.h"
#include "telemetry/velmor_event.h"

#include <QThread>

#include <functional>
#include <optional>

namespace velmor::platform {
class Scheduler;
}

namespace velmor {

// Sends usage events and feedback to the suite's telemetry service. It is an actor: all of its
// state lives on a thread of its own, and every call below is queued to that thread and runs
// there in call order. Answers and `done` callbacks are called on that thread once the call has
// taken effect; a caller on another thread hops back itself.
//
// Events are kept in memory only, at most 64, and sent one request at a time in recording order;
// a failed request loses its event. Withdrawing consent is the one way to discard waiting events.
class NavrelClient final {
public:
    static constexpr int maximumQueued = 64;
    static constexpr int maximumFeedbackLength = 2000; // UTF-16 code units
    // Only an answer's status counts; a body longer than this is not read on, the request ends
    // there and is judged by its status.
    static constexpr qint64 maximumReplyBytes = 4096;
    static constexpr auto bugCategory = "bug";
    static constexpr auto feedbackCategory = "feedback";

    using Done = std::function<void()>;

    // `scheduler` gives the timestamps and the whole-request deadline; it is called from the
    // client's thread, and its deadline tasks only post back into the client.
    NavrelClient(std::optional<NavrelConfiguration> configuration, AppSignalContext context,
                 platform::Scheduler& scheduler, std::optional<NavrelSession> session = std::nullopt);
    ~NavrelClient();

    NavrelClient(const NavrelClient&) = delete;
    NavrelClient& operator=(const NavrelClient&) = delete;

    // Without consent (or without an installation identifier) events are not recorded. Withdrawing
    // consent empties the queue and aborts the request in flight.
    void setConsent(bool consent, std::optional<QString> installationId, bool location, Done done = {});
    void event(VelmorEvent event, Done done = {});
    // Sends one report at once; the answer is true only when the service accepted it.
    void feedback(const QString& message, bool bug, std::function<void(bool accepted)> done);
    void pendingCount(std::function<void(int count)> done) const;

private:
    class Worker;

    QThread m_thread;
    Worker* m_worker = nullptr;
};

} // namespace velmor
