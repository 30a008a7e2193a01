// The bridge to the system's private menu bar visibility service. Everything it uses is looked up
// by name at run time, so the app launches where the framework or its classes are missing.
//
// Built without ARC: it also runs on the GNU Objective-C runtime, where its behaviour is tested.
#import <Foundation/Foundation.h>

// Shared between a token and the completion block of one activation.
// Instance variables are declared here because the GNU runtime cannot add them in the
// implementation.
@interface VMBAssertionState : NSObject {
@private
    BOOL _cancelled;
    id _assertion; // from the activation until its answer; see the implementation
}
// Set from the caller's thread, read on the thread the system answers on.
@property(atomic) BOOL cancelled;
@end

// What the caller holds: while it lives, the assertion may live. Releasing the last reference
// cancels and invalidates the assertion.
@interface VMBAssertionToken : NSObject {
@private
    id _assertion;
    VMBAssertionState* _state;
}
@property(nonatomic, retain) id assertion;
@property(nonatomic, retain) VMBAssertionState* state;
@end

// Sends `invalidate` to the object if it responds to it; exceptions are swallowed.
FOUNDATION_EXPORT void VMBInvalidate(id object);
// An error of the bridge's domain with the message as its localized description.
FOUNDATION_EXPORT NSError* VMBError(NSString* message);

@interface VMBVisibilityBridge : NSObject
+ (BOOL)isAvailable;
// Nil (and the completion is not called) when the request cannot be made. The completion may run
// on any thread, and runs before this returns when the system rejects the request at once.
+ (id)activateWithAllowedBundleIdentifiers:(NSArray*)identifiers completion:(void (^)(NSError*))completion;
// Tokens of this bridge only; anything else is ignored.
+ (void)invalidate:(id)token;
@end
