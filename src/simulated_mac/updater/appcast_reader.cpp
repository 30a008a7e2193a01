#include "simulated_mac/updater/appcast_reader.h"

#include "platform/scheduler.h"

namespace velmor::simulated_mac {

AppcastReader::AppcastReader(platform::Scheduler& scheduler, Parse parse)
    : m_scheduler(scheduler), m_parse(std::move(parse)), m_shared(std::make_shared<Shared>())
{
    m_shared->reader = this;
    if (!m_parse) {
        m_parse = [](const QByteArray& document, QString* reason, const std::atomic<bool>& cancelled) {
            return Appcast::parse(document, reason, &cancelled);
        };
    }
}

AppcastReader::~AppcastReader()
{
    m_shared->reader = nullptr;
    stop();
}

void AppcastReader::read(QByteArray document, Done done)
{
    stop();
    const quint64 serial = ++m_serial;
    m_done = std::move(done);
    m_cancelled = std::make_shared<std::atomic<bool>>(false);
    std::weak_ptr<Shared> shared = m_shared;
    m_deadline = m_scheduler.after(platform::seconds(deadlineSeconds), [shared, serial] {
        if (const auto alive = shared.lock(); alive && alive->reader)
            alive->reader->finish(serial, Result{std::nullopt, QString::fromUtf8(tooSlowReason)});
    });
    // The thread holds only what it reads, the flag and the scheduler, which outlives every
    // reader; the reader waits for it before it goes.
    m_thread = std::thread([parse = m_parse, document = std::move(document), cancelled = m_cancelled,
                            &scheduler = m_scheduler, shared, serial] {
        Result result;
        result.appcast = parse(document, &result.reason, *cancelled);
        scheduler.post([shared, serial, result = std::move(result)]() mutable {
            if (const auto alive = shared.lock(); alive && alive->reader)
                alive->reader->finish(serial, std::move(result));
        });
    });
}

void AppcastReader::cancel()
{
    stop();
}

void AppcastReader::finish(quint64 serial, Result result)
{
    if (serial != m_serial || !m_done)
        return;
    m_deadline.cancel();
    // Past the deadline the thread is told to stop; its answer, should it still come, is stale.
    if (m_cancelled)
        m_cancelled->store(true);
    Done done = std::exchange(m_done, {});
    done(std::move(result));
}

void AppcastReader::stop()
{
    ++m_serial;
    m_done = {};
    m_deadline.cancel();
    if (m_cancelled)
        m_cancelled->store(true);
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace velmor::simulated_mac
