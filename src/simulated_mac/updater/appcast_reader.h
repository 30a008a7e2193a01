#pragma once

#include "platform/task_handle.h"
#include "simulated_mac/updater/appcast.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace velmor::platform {
class Scheduler;
} // namespace velmor::platform

namespace velmor::simulated_mac {

// Judges a downloaded update feed on a thread of its own, so that a feed built to be slow to read
// never stalls the main thread, and within a deadline of its own. The answer comes back on the
// scheduler's thread.
class AppcastReader final {
public:
    static constexpr double deadlineSeconds = 10;
    static constexpr auto tooSlowReason = "The update feed could not be read in time.";

    // What the thread runs; it should give up soon once `cancelled` is set.
    using Parse = std::function<std::optional<Appcast>(const QByteArray& document, QString* reason,
                                                       const std::atomic<bool>& cancelled)>;
    // The feed, or the reason it is not an acceptable one.
    struct Result {
        std::optional<Appcast> appcast;
        QString reason;
    };
    using Done = std::function<void(Result)>;

    explicit AppcastReader(platform::Scheduler& scheduler, Parse parse = {});
    // Waits for a reading still under way, after telling it to stop.
    ~AppcastReader();

    AppcastReader(const AppcastReader&) = delete;
    AppcastReader& operator=(const AppcastReader&) = delete;

    // Starts reading `document`, ending the reading before it unanswered. `done` is called once,
    // on the scheduler's thread, unless cancel() comes first.
    void read(QByteArray document, Done done);
    void cancel();

private:
    // What the reading thread and the answers it posts share with the reader.
    struct Shared {
        AppcastReader* reader = nullptr;
    };

    void finish(quint64 serial, Result result);
    void stop();

    platform::Scheduler& m_scheduler;
    Parse m_parse;
    std::shared_ptr<Shared> m_shared;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    std::thread m_thread;
    quint64 m_serial = 0;
    Done m_done;
    platform::TaskHandle m_deadline;
};

} // namespace velmor::simulated_mac
