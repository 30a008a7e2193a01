#include "mac/mac_login_items.h"

#include "mac/portable/mac_conventions.h"

#import <Foundation/Foundation.h>
#import <ServiceManagement/ServiceManagement.h>

namespace velmor::platform::mac {

static_assert(MacConventions::notRegisteredStatus == long(SMAppServiceStatusNotRegistered));
static_assert(MacConventions::enabledStatus == long(SMAppServiceStatusEnabled));
static_assert(MacConventions::requiresApprovalStatus == long(SMAppServiceStatusRequiresApproval));
static_assert(MacConventions::notFoundStatus == long(SMAppServiceStatusNotFound));

namespace {

// The system's sentence, or the error's own description when it gives none.
QString describe(NSError* error)
{
    return QString::fromNSString(error.localizedDescription ?: error.description);
}

} // namespace

LoginItemStatus MacLoginItems::status() const
{
    return MacConventions::loginItemStatus(long([SMAppService mainAppService].status));
}

std::optional<QString> MacLoginItems::registerMainApp()
{
    NSError* error = nil;
    const bool registered = [[SMAppService mainAppService] registerAndReturnError:&error];
    // Even a failed registration may leave the item in another state (waiting for approval).
    statusChanged();
    if (registered)
        return std::nullopt;
    return error != nil ? describe(error) : QString();
}

void MacLoginItems::unregisterMainApp(Completion completion)
{
    // The services live as long as the process: the answer may still tell this object's observers.
    [[SMAppService mainAppService] unregisterWithCompletionHandler:^(NSError* error) {
      // The system answers on a queue of its own; the interface promises the main thread.
      const std::optional<QString> failure =
          error != nil ? std::optional<QString>(describe(error)) : std::nullopt;
      dispatch_async(dispatch_get_main_queue(), ^{
        if (completion)
            completion(failure);
        statusChanged();
      });
    }];
}

void MacLoginItems::openSystemSettingsLoginItems()
{
    [SMAppService openSystemSettingsLoginItems];
}

} // namespace velmor::platform::mac
