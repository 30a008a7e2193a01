// A stand-in for the system's private visibility framework, loaded by path like the real one.
// It answers what the real one is known to answer and records what it was asked, for the tests.
#include <Block.h>
#import <Foundation/Foundation.h>

// Bundle identifiers that make the stand-in misbehave.
static NSString* const kRejectConfiguration = @"test.reject-configuration";
static NSString* const kRaise = @"test.raise";
static NSString* const kAnswerAtOnce = @"test.answer-at-once";

static NSArray* gLastItems = nil;
static NSArray* gLastIdentifiers = nil;
static NSMutableArray* gPending = nil; // assertions awaiting their answer
static NSInteger gInvalidations = 0;

@interface MBAssessmentModeConfiguration : NSObject {
    NSArray* _items;
    NSArray* _identifiers;
}
- (id)initWithAllowedSystemItems:(NSArray*)items allowedBundleIdentifiers:(NSArray*)identifiers;
- (NSArray*)items;
- (NSArray*)identifiers;
@end

@implementation MBAssessmentModeConfiguration

- (id)initWithAllowedSystemItems:(NSArray*)items allowedBundleIdentifiers:(NSArray*)identifiers
{
    if ([identifiers containsObject:kRejectConfiguration]) {
        [self release];
        return nil;
    }
    self = [super init];
    _items = [items copy];
    _identifiers = [identifiers copy];
    return self;
}

- (void)dealloc
{
    [_items release];
    [_identifiers release];
    [super dealloc];
}

- (NSArray*)items
{
    return _items;
}

- (NSArray*)identifiers
{
    return _identifiers;
}

@end

@interface MBAssessmentModeAssertion : NSObject {
    void (^_handler)(NSError*);
}
- (void)activateWithConfiguration:(id)configuration completionHandler:(id)handler;
- (void)invalidate;
@end

@implementation MBAssessmentModeAssertion

+ (void)fakeReset
{
    [gLastItems release];
    [gLastIdentifiers release];
    gLastItems = nil;
    gLastIdentifiers = nil;
    [gPending release];
    gPending = [[NSMutableArray alloc] init];
    gInvalidations = 0;
}

+ (NSArray*)fakeLastItems
{
    return gLastItems;
}

+ (NSArray*)fakeLastIdentifiers
{
    return gLastIdentifiers;
}

+ (NSInteger)fakeInvalidations
{
    return gInvalidations;
}

+ (NSUInteger)fakePendingCount
{
    return [gPending count];
}

+ (void)fakeAnswerAllWithError:(NSError*)error
{
    NSArray* answering = [[gPending copy] autorelease];
    [gPending removeAllObjects];
    for (MBAssessmentModeAssertion* assertion in answering)
        [assertion answer:error];
}

- (void)answer:(NSError*)error
{
    void (^handler)(NSError*) = _handler;
    _handler = nil;
    if (handler != nil) {
        handler(error);
        Block_release(handler);
    }
}

- (void)activateWithConfiguration:(id)configuration completionHandler:(id)handler
{
    MBAssessmentModeConfiguration* given = configuration;
    [gLastItems release];
    [gLastIdentifiers release];
    gLastItems = [[given items] retain];
    gLastIdentifiers = [[given identifiers] retain];
    if ([[given identifiers] containsObject:kRaise])
        [NSException raise:@"FakeRefusal" format:@"the stand-in refuses"];
    void (^completion)(NSError*) = (void (^)(NSError*))handler;
    if ([[given identifiers] containsObject:kAnswerAtOnce]) {
        completion(nil);
        return;
    }
    _handler = Block_copy(completion);
    [gPending addObject:self];
}

- (void)invalidate
{
    ++gInvalidations;
}

- (void)dealloc
{
    if (_handler != nil)
        Block_release(_handler);
    [super dealloc];
}

@end
