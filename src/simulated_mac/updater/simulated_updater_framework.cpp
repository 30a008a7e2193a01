#include "simulated_mac/updater/simulated_updater_framework.h"

#include "platform/host.h"
#include "simulated_mac/updater/simulated_updater.h"

namespace velmor::simulated_mac {
namespace {

const QString fallbackIdentifier = QStringLiteral("local.velmor.tray");

} // namespace

SimulatedUpdaterFramework::SimulatedUpdaterFramework(platform::Scheduler& scheduler, const platform::Host& host,
                                                     platform::UserDefaults& defaults, Configuration configuration)
    : m_scheduler(scheduler), m_host(host), m_defaults(defaults), m_configuration(std::move(configuration))
{}

SimulatedUpdaterFramework::~SimulatedUpdaterFramework() = default;

std::unique_ptr<platform::UpdaterController> SimulatedUpdaterFramework::createController(platform::UpdaterDelegate& delegate)
{
    return std::make_unique<SimulatedUpdater>(*this, delegate);
}

QString SimulatedUpdaterFramework::cacheFolder() const
{
    if (!m_configuration.cacheFolder.isEmpty())
        return m_configuration.cacheFolder;
    return m_host.homeDirectory() + QStringLiteral("/Library/Caches/") +
           m_host.mainBundle().identifier().value_or(fallbackIdentifier) + u'/' +
           QString::fromLatin1(cacheFolderName);
}

} // namespace velmor::simulated_mac
