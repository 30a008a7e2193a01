#pragma once

#include "suite_ui/background_quit_confirmation.h"
#include "suite_ui/beta_support_view.h"
#include "suite_ui/feedback_menu_items.h"
#include "suite_ui/launch_at_login_settings.h"
#include "suite_ui/support_settings_footer.h"

#include <QtQml/qqml.h>

namespace velmor {

// The suite shell's presenters as QML sees them. They live in the engine, which does not link Qt
// Quick, so they are registered here; the QML files of the same names are their views, hence the
// "Presenter" in the registered names.

struct SupportSettingsFooterPresenter {
    Q_GADGET
    QML_FOREIGN(velmor::SupportSettingsFooter)
    QML_NAMED_ELEMENT(SupportSettingsFooterPresenter)
    QML_UNCREATABLE("Made by the app for the window that shows the footer")
};

struct FeedbackMenuItemsPresenter {
    Q_GADGET
    QML_FOREIGN(velmor::FeedbackMenuItems)
    QML_NAMED_ELEMENT(FeedbackMenuItems)
    QML_UNCREATABLE("Part of the footer")
};

struct BetaSupportViewPresenter {
    Q_GADGET
    QML_FOREIGN(velmor::BetaSupportView)
    QML_NAMED_ELEMENT(BetaSupportViewPresenter)
    QML_UNCREATABLE("Made by the app with the Feedback window")
};

struct LaunchAtLoginSettingsPresenter {
    Q_GADGET
    QML_FOREIGN(velmor::LaunchAtLoginSettings)
    QML_NAMED_ELEMENT(LaunchAtLoginSettingsPresenter)
    QML_UNCREATABLE("Made by the app for the window that shows the section")
};

struct BackgroundQuitConfirmationPresenter {
    Q_GADGET
    QML_FOREIGN(velmor::BackgroundQuitConfirmation)
    QML_NAMED_ELEMENT(BackgroundQuitConfirmationPresenter)
    QML_UNCREATABLE("Made by the app that asks")
};

} // namespace velmor
