#include "mac/mac_services.h"

namespace velmor::platform::mac {

MacServices::MacServices() : m_updater(makeUpdaterFramework())
{
    m_services.scheduler = &m_scheduler;
    m_services.host = &m_host;
    m_services.userDefaults = &m_userDefaults;
    m_services.accessibility = &m_accessibility;
    m_services.workspace = &m_workspace;
    m_services.statusBar = &m_statusBar;
    m_services.screens = &m_screens;
    m_services.mouseEvents = &m_mouseEvents;
    m_services.loginItems = &m_loginItems;
    m_services.applicationShell = &m_applicationShell;
    m_services.updater = m_updater.get();
    m_services.belowBarPanel = &m_belowBarPanel;
    m_services.globalShortcuts = &m_globalShortcuts;
}

MacServices::~MacServices() = default;

} // namespace velmor::platform::mac
