#pragma once

// The target of an AppKit action: buttons and menu items send `perform:` to it. Controls and
// menu items hold their targets weakly, so whoever sets one keeps it.
#import <Foundation/Foundation.h>

#include <functional>

@interface VMBActionTarget : NSObject
- (instancetype)initWithAction:(std::function<void()>)action;
- (void)perform:(id)sender;
@end
