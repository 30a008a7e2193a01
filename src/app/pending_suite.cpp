#include "app/pending_suite.h"

namespace velmor {
namespace {

// The commands' titles as the update and feedback views will show them.
constexpr const char* checkForUpdatesTitle = "Check for Updates…";
constexpr const char* updateSettingsTitle = "Update Settings…";
constexpr const char* sendFeedbackTitle = "Send feedback…";
constexpr const char* reportBugTitle = "Report a bug…";

platform::Menu disabled(std::initializer_list<const char*> titles)
{
    platform::Menu menu;
    for (const char* title : titles)
        menu.append(platform::MenuItem{QString::fromUtf8(title), {}, false, false});
    return menu;
}

} // namespace

TrayApp::Suite pendingSuite()
{
    TrayApp::Suite suite;
    suite.updateCommands = [] { return disabled({checkForUpdatesTitle, updateSettingsTitle}); };
    suite.feedbackCommands = [] { return disabled({sendFeedbackTitle, reportBugTitle}); };
    return suite;
}

} // namespace velmor
