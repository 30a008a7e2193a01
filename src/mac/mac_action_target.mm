#import "mac/mac_action_target.h"

@implementation VMBActionTarget {
    std::function<void()> _action;
}

- (instancetype)initWithAction:(std::function<void()>)action
{
    self = [super init];
    if (self != nil)
        _action = std::move(action);
    return self;
}

- (void)perform:(id)sender
{
    (void)sender;
    if (_action) {
        // The action may replace this target (and so release it) while it runs.
        const std::function<void()> action = _action;
        action();
    }
}

@end
